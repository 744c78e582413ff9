#pragma once

#include <cstdint>

// Character tables that must not depend on the locale or the platform, so
// that one input gives the same CSV name and the same log on every
// machine. Written by scripts/unicode-tables.py (unicode_tables.cpp).
namespace ravuvur {

// Code points first..last (every `stride`-th one from first) have the
// simple upper case code point + delta.
struct UpperRange {
  char32_t first;
  char32_t last;
  std::int32_t delta;
  std::int32_t stride;
};
struct CodePointRange {
  char32_t first;
  char32_t last;
};

// Sorted, not overlapping.
extern const UpperRange kUpperRanges[200];
// Line and paragraph separators and invisible format characters (bidi
// overrides, zero-width characters, the byte order mark, tags): characters
// that can make text read other than its bytes say.
extern const CodePointRange kFormatRanges[21];

}  // namespace ravuvur
