#include "core/text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <span>

#include "core/unicode_tables.h"

namespace ravuvur {
namespace {

// Unicode code points of Windows-1252 bytes 80..9F.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  char bytes[4];
  out.append(bytes, EncodeUtf8(cp, bytes));
}

struct Decoded {
  char32_t codePoint;
  std::size_t length;  // 0 when the bytes are not a valid sequence
};

// Decodes one UTF-8 sequence at the start of `s` (not empty). Rejects
// overlong forms, surrogates and values past U+10FFFF.
Decoded DecodeOne(std::string_view s) noexcept {
  const auto b0 = static_cast<unsigned char>(s[0]);
  if (b0 < 0x80) return {b0, 1};
  std::size_t length = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if ((b0 & 0xE0) == 0xC0) {
    length = 2, cp = b0 & 0x1Fu, minimum = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3, cp = b0 & 0x0Fu, minimum = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    length = 4, cp = b0 & 0x07u, minimum = 0x10000;
  } else {
    return {0, 0};
  }
  if (s.size() < length) return {0, 0};
  for (std::size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[k]);
    if ((b & 0xC0) != 0x80) return {0, 0};
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {0, 0};
  return {cp, length};
}

// `cp` mapped by one of the tables of unicode_tables.h.
char32_t Mapped(std::span<const MappedRange> table, char32_t cp) {
  const auto* range =
      std::upper_bound(table.data(), table.data() + table.size(), cp,
                       [](char32_t c, const MappedRange& r) { return c < r.first; });
  if (range == table.data()) return cp;
  --range;
  if (cp > range->last || (cp - range->first) % static_cast<char32_t>(range->stride) != 0) {
    return cp;
  }
  return static_cast<char32_t>(static_cast<std::int32_t>(cp) + range->delta);
}

bool IsFormatCharacter(char32_t cp) noexcept {
  const auto* range =
      std::upper_bound(std::begin(kFormatRanges), std::end(kFormatRanges), cp,
                       [](char32_t c, const CodePointRange& r) { return c < r.first; });
  return range != std::begin(kFormatRanges) && cp <= std::prev(range)->last;
}

// Appends $'...' with each byte of `bytes` escaped.
void AppendDollarQuoted(std::string& out, std::string_view bytes) {
  out += "$'";
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    switch (b) {
      case '\a': out += "\\a"; break;
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\v': out += "\\v"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      default:
        out += '\\';
        out += static_cast<char>('0' + (b >> 6));
        out += static_cast<char>('0' + ((b >> 3) & 7));
        out += static_cast<char>('0' + (b & 7));
    }
  }
  out += '\'';
}

// Appends '...', a single quote inside as '\''.
void AppendSingleQuoted(std::string& out, std::string_view text) {
  out += '\'';
  for (const char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  out += '\'';
}

// Length of the run at the start of `text` (not empty) whose characters
// are all printable (`printable`) or all not: an invalid byte or a
// character shown escaped (IsShownEscaped) is not printable.
std::size_t RunLength(std::string_view text, bool& printable) noexcept {
  std::size_t at = 0;
  for (bool first = true; at < text.size(); first = false) {
    const Decoded d = DecodeOne(text.substr(at));
    const bool isPrintable = d.length != 0 && !IsShownEscaped(d.codePoint);
    if (first) printable = isPrintable;
    if (isPrintable != printable) break;
    at += d.length == 0 ? 1 : d.length;
  }
  return at;
}

}  // namespace

// Controls, and the characters that move or hide text (line separators,
// bidi overrides, zero-width characters).
bool IsShownEscaped(char32_t cp) noexcept {
  return cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || IsFormatCharacter(cp);
}

std::size_t EncodeUtf8(char32_t cp, char* out) noexcept {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | (cp >> 6));
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (cp >> 12));
    out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
  }
  if (cp > 0x10FFFF) return 0;
  out[0] = static_cast<char>(0xF0 | (cp >> 18));
  out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (cp & 0x3F));
  return 4;
}

std::string ShownInLog(std::string_view utf8) {
  bool printable = true;
  if (utf8.empty() || (RunLength(utf8, printable) == utf8.size() && printable)) {
    return std::string(utf8);
  }
  std::string out;
  while (!utf8.empty()) {
    const std::size_t length = RunLength(utf8, printable);
    if (printable) {
      AppendSingleQuoted(out, utf8.substr(0, length));
    } else {
      AppendDollarQuoted(out, utf8.substr(0, length));
    }
    utf8.remove_prefix(length);
  }
  return out;
}

std::string Windows1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else if (b < 0xA0) {
      AppendUtf8(out, kHighControls[b - 0x80u]);
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
}

std::size_t CharacterCount(std::string_view utf8) noexcept {
  std::size_t count = 0;
  while (!utf8.empty()) {
    const std::size_t length = DecodeOne(utf8).length;
    utf8.remove_prefix(length == 0 ? 1 : length);
    ++count;
  }
  return count;
}

std::size_t PrefixBytes(std::string_view utf8, std::size_t characters) noexcept {
  std::size_t bytes = 0;
  for (std::size_t n = 0; n < characters && bytes < utf8.size(); ++n) {
    const std::size_t length = DecodeOne(utf8.substr(bytes)).length;
    bytes += length == 0 ? 1 : length;
  }
  return bytes;
}

std::string UpperCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const Decoded d = DecodeOne(utf8);
    if (d.length == 0) {
      out += utf8[0];
      utf8.remove_prefix(1);
      continue;
    }
    AppendUtf8(out, Mapped(kUpperRanges, d.codePoint));
    utf8.remove_prefix(d.length);
  }
  return out;
}

std::u32string CaseFolded(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const Decoded d = DecodeOne(utf8);
    out += d.length == 0 ? 0x110000 + static_cast<unsigned char>(utf8[0])
                         : Mapped(kFoldRanges, d.codePoint);
    utf8.remove_prefix(d.length == 0 ? 1 : d.length);
  }
  return out;
}

}  // namespace ravuvur
