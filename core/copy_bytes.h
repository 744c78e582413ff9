#pragma once

#include <cstring>
#include <string_view>

namespace ravuvur {

// Copies `from` to `to` and returns the end. Meant for the short texts a
// log line or a CSV row is made of (a few bytes each, tens of thousands of
// them a run): up to sixteen bytes are copied with two moves that may
// overlap, instead of a call to the general copy.
inline char* CopyBytes(char* to, std::string_view from) noexcept {
  const std::size_t n = from.size();
  const char* src = from.data();
  if (n >= 8 && n <= 16) {
    std::memcpy(to, src, 8);
    std::memcpy(to + n - 8, src + n - 8, 8);
  } else if (n >= 4 && n < 8) {
    std::memcpy(to, src, 4);
    std::memcpy(to + n - 4, src + n - 4, 4);
  } else if (n > 16) {
    std::memcpy(to, src, n);
  } else {
    for (std::size_t k = 0; k < n; ++k) to[k] = src[k];
  }
  return to + n;
}

}  // namespace ravuvur
