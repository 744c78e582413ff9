#include <windows.h>

#include <climits>
#include <cstdint>

#include "core/local_time.h"

namespace ravuvur {

// The user's locale (Region settings) gives the format, through
// GetTimeFormatEx; Windows' own time zone gives the local time. The C
// library's localtime would read a TZ variable in a format of its own and
// could disagree with the clock the user sees.
std::size_t FormatTimeOfDay(std::time_t now, char* out, std::size_t size) noexcept {
  if (now < 0 || size == 0) return 0;
  // A FILETIME counts 100 ns ticks since 1601-01-01.
  constexpr std::uint64_t kTicksPerSecond = 10'000'000;
  constexpr std::uint64_t kSecondsFrom1601To1970 = 11'644'473'600;
  const std::uint64_t ticks =
      (static_cast<std::uint64_t>(now) + kSecondsFrom1601To1970) * kTicksPerSecond;
  const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utcTime{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&utc, &utcTime) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &local)) {
    return 0;
  }
  wchar_t wide[64];
  const int wideLength = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, nullptr, wide, 64);
  if (wideLength <= 1) return 0;  // the length counts the terminating zero
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide, wideLength - 1, out,
                          static_cast<int>(size < INT_MAX ? size : INT_MAX), nullptr, nullptr);
  return length > 0 ? static_cast<std::size_t>(length) : 0;
}

}  // namespace ravuvur
