#include <cwchar>
#include <iterator>

#include "core/local_time.h"
#include "core/text.h"

namespace ravuvur {

// strftime's %X under the current C locale, so a program that wants the
// user's format calls setlocale first; under the C locale it reads
// HH:MM:SS. Taken as wide characters (code points on this platform) and
// written as UTF-8 whatever the locale's own character set, so that a log
// made under EUC-KR or GB18030 is as valid UTF-8 as any other. Some
// locales' formats name the time zone (hi_IN's), whose name comes from
// the zone file TZ points to and may hold any byte: a text with a line
// feed or an escape sequence gives way to the plain form, as the log's
// lines are one line each and never drive the terminal.
std::size_t FormatTimeOfDay(std::time_t now, char* out, std::size_t size) noexcept {
  std::tm local{};
  localtime_r(&now, &local);
  wchar_t wide[64];
  const std::size_t count = std::wcsftime(wide, std::size(wide), L"%X", &local);
  std::size_t length = 0;
  for (std::size_t k = 0; k < count; ++k) {
    char bytes[4];
    const std::size_t n = EncodeUtf8(static_cast<char32_t>(wide[k]), bytes);
    if (n == 0 || length + n > size || IsShownEscaped(static_cast<char32_t>(wide[k]))) {
      length = 0;  // not text, too long, or not for the log: the plain form below
      break;
    }
    for (std::size_t b = 0; b < n; ++b) out[length++] = bytes[b];
  }
  return length != 0 ? length : std::strftime(out, size, "%H:%M:%S", &local);
}

}  // namespace ravuvur
