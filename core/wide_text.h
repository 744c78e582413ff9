#pragma once

#include <string>
#include <string_view>

// UTF-8, the engine's text, to and from UTF-16, the text of the Windows
// API (wchar_t is 16 bits there). Built on Windows only.
namespace ravuvur {

// Empty when `utf8` is not valid UTF-8: no file on Windows has such a name.
std::wstring WideFromUtf8(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace ravuvur
