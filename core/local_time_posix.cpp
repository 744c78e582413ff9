#include <cwchar>
#include <iterator>

#include "core/local_time.h"
#include "core/text.h"

namespace ravuvur {

// strftime's %X under the current C locale, so a program that wants the
// user's format calls setlocale first; under the C locale it reads
// HH:MM:SS. Taken as wide characters (code points on this platform) and
// written as UTF-8 whatever the locale's own character set, so that a log
// made under EUC-KR or GB18030 is as valid UTF-8 as any other.
std::size_t FormatTimeOfDay(std::time_t now, char* out, std::size_t size) noexcept {
  std::tm local{};
  localtime_r(&now, &local);
  wchar_t wide[64];
  const std::size_t count = std::wcsftime(wide, std::size(wide), L"%X", &local);
  std::size_t length = 0;
  for (std::size_t k = 0; k < count; ++k) {
    char bytes[4];
    const std::size_t n = EncodeUtf8(static_cast<char32_t>(wide[k]), bytes);
    if (n == 0 || length + n > size) {
      length = 0;  // not text, or too long: the plain form below
      break;
    }
    for (std::size_t b = 0; b < n; ++b) out[length++] = bytes[b];
  }
  return length != 0 ? length : std::strftime(out, size, "%H:%M:%S", &local);
}

}  // namespace ravuvur
