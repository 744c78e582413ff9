#include "core/local_time.h"

namespace ravuvur {

// strftime's %X under the current C locale, so a program that wants the
// user's format calls setlocale first; under the C locale it reads
// HH:MM:SS.
std::size_t FormatTimeOfDay(std::time_t now, char* out, std::size_t size) noexcept {
  std::tm local{};
  localtime_r(&now, &local);
  const std::size_t length = std::strftime(out, size, "%X", &local);
  return length != 0 ? length : std::strftime(out, size, "%H:%M:%S", &local);
}

}  // namespace ravuvur
