#include "screen/readable_text.h"

#include <array>

#include "core/text.h"

namespace screen {

namespace {

// Single guillemets: in every Western font, the window's bitmap font
// included (Windows-1252 has them), where a mark drawn as a box would hide
// what it stands for.
constexpr char32_t kOpenMark = U'\u2039';
constexpr char32_t kCloseMark = U'\u203A';

struct Range {
  char32_t first;
  char32_t last;
};

// Characters that take no room, join or separate invisibly, or reorder the
// text around them.
constexpr std::array kInvisible = {
    Range{0x0000, 0x001F},   Range{0x007F, 0x009F},   Range{0x00AD, 0x00AD}, Range{0x034F, 0x034F},
    Range{0x061C, 0x061C},   Range{0x115F, 0x1160},   Range{0x17B4, 0x17B5}, Range{0x180B, 0x180F},
    Range{0x200B, 0x200F},   Range{0x2028, 0x202E},   Range{0x2060, 0x206F}, Range{0x3164, 0x3164},
    Range{0xFE00, 0xFE0F},   Range{0xFEFF, 0xFEFF},   Range{0xFFA0, 0xFFA0}, Range{0xFFF0, 0xFFFB},
    Range{0x1D173, 0x1D17A}, Range{0xE0000, 0xE0FFF},
};

bool IsInvisible(char32_t c) {
  for (const Range& range : kInvisible) {
    if (c >= range.first && c <= range.last) return true;
  }
  return false;
}

void AppendUtf8(std::string& out, char32_t c) {
  std::array<char, 4> bytes{};
  out.append(bytes.data(), ravuvur::EncodeUtf8(c, bytes.data()));
}

void AppendHex(std::string& out, unsigned value, int digits) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    out += kDigits[(value >> static_cast<unsigned>(shift)) & 0xFU];
  }
}

void AppendMarked(std::string& out, unsigned value, bool character) {
  AppendUtf8(out, kOpenMark);
  if (character) {
    out += "U+";
    AppendHex(out, value, value > 0xFFFF ? 5 : 4);
  } else {
    AppendHex(out, value, 2);
  }
  AppendUtf8(out, kCloseMark);
}

void AppendShown(std::string& out, char32_t c) {
  if (IsInvisible(c) || c == kOpenMark || (c >= 0xD800 && c <= 0xDFFF)) {
    AppendMarked(out, static_cast<unsigned>(c), true);
  } else {
    AppendUtf8(out, c);
  }
}

}  // namespace

// Strict UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF.
char32_t NextCharacter(std::string_view utf8, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(utf8[at]);
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  std::size_t length = 0;
  char32_t c = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1FU, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0FU, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07U, least = 0x10000;
  }
  if (length == 0 || at + length > utf8.size()) {
    ++at;
    return kNotText;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(utf8[at + i]);
    if ((next & 0xC0U) != 0x80U) {
      ++at;
      return kNotText;
    }
    c = (c << 6) | (next & 0x3FU);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++at;
    return kNotText;
  }
  at += length;
  return c;
}

std::string ReadableText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  ForEachCharacter(utf8, [&out](char32_t c, unsigned char byte) {
    if (c == kNotText) {
      AppendMarked(out, byte, false);
    } else {
      AppendShown(out, c);
    }
  });
  return out;
}

std::string ReadableText(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t at = 0; at < utf16.size(); ++at) {
    char32_t c = utf16[at];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    if (high && at + 1 < utf16.size() && utf16[at + 1] >= 0xDC00 && utf16[at + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[at + 1] - 0xDC00U);
      ++at;
    }
    AppendShown(out, c);
  }
  return out;
}

}  // namespace screen
