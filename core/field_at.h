#pragma once

#include <cstddef>
#include <string_view>

namespace ravuvur {

// The one column-extraction rule every field of a movement file goes
// through. Columns are 1-based and count bytes (the files are single-byte
// Windows-1252 text). Yields `length` characters starting at column
// `start`; where the line ends earlier it yields only what exists, and a
// start beyond the end yields the empty text. It never pads and never
// fails: a start of 0 is treated like column 1.
constexpr std::string_view FieldAt(std::string_view line, std::size_t start,
                                   std::size_t length) noexcept {
  const std::size_t from = start == 0 ? 0 : start - 1;
  if (from >= line.size()) return {};
  return line.substr(from, length);
}

}  // namespace ravuvur
