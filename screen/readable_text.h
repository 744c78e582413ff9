#pragma once

#include <string>
#include <string_view>

namespace screen {

// Names from the file system as one line of text the controls can show,
// UTF-8, such that two different names never look the same:
// - a byte that is not part of UTF-8 text shows as its value, "‹E7›";
// - a character that draws nothing or turns the text around (control
//   characters, zero-width characters, direction marks and overrides,
//   line and paragraph separators, ...) shows as its number, "‹U+202E›";
// - a "‹" of the name itself shows as "‹U+2039›", so every "‹" shown
//   opens one of these.
// Everything else is shown as it is.
std::string ReadableText(std::string_view utf8);

// The same for a name in UTF-16, as Windows gives them; a surrogate
// without its pair shows as its number.
std::string ReadableText(std::u16string_view utf16);

// Reads one UTF-8 character at `at` and moves past it; returns U+FFFFFFFF
// (and moves one byte) where the bytes are not UTF-8.
inline constexpr char32_t kNotText = 0xFFFFFFFF;
char32_t NextCharacter(std::string_view utf8, std::size_t& at);

// Calls `visit(c, byte)` for each character of `utf8` in turn: `c` is the
// character, or kNotText with `byte` the value of a byte that is not text.
template <class Visit>
void ForEachCharacter(std::string_view utf8, Visit visit) {
  for (std::size_t at = 0; at < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[at]);
    visit(NextCharacter(utf8, at), byte);
  }
}

}  // namespace screen
