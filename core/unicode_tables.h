#pragma once

#include <cstdint>

// Character tables that must not depend on the locale or the platform, so
// that one input gives the same CSV name and the same log on every
// machine. Written by scripts/unicode-tables.py (unicode_tables.cpp).
namespace ravuvur {

// Code points first..last (every `stride`-th one from first) map to the
// code point + delta.
struct MappedRange {
  char32_t first;
  char32_t last;
  std::int32_t delta;
  std::int32_t stride;
};
struct CodePointRange {
  char32_t first;
  char32_t last;
};

// Sorted, not overlapping; code points in none map to themselves.
// The simple upper-case mapping.
extern const MappedRange kUpperRanges[200];
// The folding for comparing without letter case: to the small letter of
// the simple upper case (that capital itself where it has no small letter
// whose capital it is), so code points fold alike exactly when their upper
// cases are the same.
extern const MappedRange kFoldRanges[198];
// Line and paragraph separators and invisible format characters (bidi
// overrides, zero-width characters, the byte order mark, tags): characters
// that can make text read other than its bytes say.
extern const CodePointRange kFormatRanges[21];

}  // namespace ravuvur
