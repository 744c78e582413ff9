#pragma once

namespace ravuvur {

// The platform's upper case of a code point outside the Latin letters that
// UpperCase (text.h) maps itself; the code point unchanged when it has
// none. Each platform has its own (case_mapping_posix.cpp,
// case_mapping_windows.cpp).
char32_t PlatformUpperCase(char32_t codePoint);

}  // namespace ravuvur
