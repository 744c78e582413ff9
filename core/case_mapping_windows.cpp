#include <windows.h>

#include "core/case_mapping.h"

namespace ravuvur {

// Windows' own upper case, the one its file names ignore: invariant and
// not linguistic, so the user's locale (a Turkish i) does not change it.
// It works on UTF-16, surrogate pairs included; towupper could not, its
// wint_t being 16 bits wide here.
char32_t PlatformUpperCase(char32_t codePoint) {
  wchar_t in[2];
  int length = 1;
  if (codePoint < 0x10000) {
    in[0] = static_cast<wchar_t>(codePoint);
  } else {
    const char32_t offset = codePoint - 0x10000;
    in[0] = static_cast<wchar_t>(0xD800 + (offset >> 10));
    in[1] = static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
    length = 2;
  }
  wchar_t out[2];
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, in, length, out, 2, nullptr, nullptr,
                    0) != length) {
    return codePoint;
  }
  if (length == 1) return out[0];
  return 0x10000 + ((static_cast<char32_t>(out[0]) - 0xD800) << 10) +
         (static_cast<char32_t>(out[1]) - 0xDC00);
}

}  // namespace ravuvur
