#pragma once

#include <string>
#include <string_view>

// UTF-8, the engine's text, to and from UTF-16, the text of the Windows
// API (wchar_t is 16 bits there). Built on Windows only.
//
// Windows names are sequences of 16-bit units that need not be valid
// UTF-16: a name may hold a surrogate without its partner. Such a unit
// travels as the three bytes UTF-8 would give its value (the form known as
// WTF-8), so every name survives the trip to UTF-8 and back unchanged and
// the file named is the file opened. Valid UTF-16 gives plain UTF-8.
namespace ravuvur {

// Empty when `utf8` is neither valid UTF-8 nor such a name: no file on
// Windows has such a name.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace ravuvur
