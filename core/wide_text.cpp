#include "core/wide_text.h"

#include <windows.h>

#include <climits>

#include "core/text.h"

namespace ravuvur {
namespace {

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool IsLoneSurrogate(std::wstring_view wide, std::size_t i) {
  if (IsHighSurrogate(wide[i])) return i + 1 == wide.size() || !IsLowSurrogate(wide[i + 1]);
  if (IsLowSurrogate(wide[i])) return i == 0 || !IsHighSurrogate(wide[i - 1]);
  return false;
}

// The three bytes UTF-8 would give a surrogate's value: ED A0..BF 80..BF.
bool IsSurrogateAt(std::string_view utf8, std::size_t at) {
  return at + 2 < utf8.size() && static_cast<unsigned char>(utf8[at]) == 0xED &&
         (static_cast<unsigned char>(utf8[at + 1]) & 0xE0) == 0xA0 &&
         (static_cast<unsigned char>(utf8[at + 2]) & 0xC0) == 0x80;
}

// Appends valid UTF-8 as UTF-16; false when it is not valid.
bool AppendWide(std::wstring& wide, std::string_view utf8) {
  if (utf8.empty()) return true;
  if (utf8.size() > INT_MAX) return false;
  const int size = static_cast<int>(utf8.size());
  const int length =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (length <= 0) return false;
  const std::size_t at = wide.size();
  wide.resize(at + static_cast<std::size_t>(length));
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data() + at, length);
  return true;
}

// Appends valid UTF-16 (no lone surrogate) as UTF-8.
void AppendUtf8(std::string& utf8, std::wstring_view wide) {
  if (wide.empty() || wide.size() > INT_MAX / 3) return;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return;
  const std::size_t at = utf8.size();
  utf8.resize(at + static_cast<std::size_t>(length));
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data() + at, length, nullptr, nullptr);
}

}  // namespace

std::wstring WideFromUtf8(std::string_view utf8) {
  std::wstring wide;
  std::size_t runStart = 0;
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    if (!IsSurrogateAt(utf8, at)) continue;
    if (!AppendWide(wide, utf8.substr(runStart, at - runStart))) return {};
    const auto unit =
        static_cast<wchar_t>(0xD000 | ((utf8[at + 1] & 0x3F) << 6) | (utf8[at + 2] & 0x3F));
    // A pair must come as one four-byte sequence: two three-byte halves
    // would be a second spelling of the same name.
    if (IsLowSurrogate(unit) && !wide.empty() && IsHighSurrogate(wide.back())) return {};
    wide += unit;
    at += 2;
    runStart = at + 1;
  }
  if (!AppendWide(wide, utf8.substr(runStart))) return {};
  return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
  std::string utf8;
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (!IsLoneSurrogate(wide, i)) continue;
    AppendUtf8(utf8, wide.substr(runStart, i - runStart));
    char bytes[4];
    utf8.append(bytes, EncodeUtf8(static_cast<char32_t>(wide[i]), bytes));
    runStart = i + 1;
  }
  AppendUtf8(utf8, wide.substr(runStart));
  return utf8;
}

}  // namespace ravuvur
