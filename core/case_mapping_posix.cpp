#include <cwctype>

#include "core/case_mapping.h"

namespace ravuvur {

// The current C locale's rules; wint_t holds every code point here.
char32_t PlatformUpperCase(char32_t codePoint) {
  return static_cast<char32_t>(std::towupper(static_cast<std::wint_t>(codePoint)));
}

}  // namespace ravuvur
