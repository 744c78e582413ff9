#pragma once

#include <cstddef>
#include <ctime>

namespace ravuvur {

// Writes the time of day of `now`, local time, as the user's locale renders
// it (UTF-8) into `out`; returns its length, or 0 when it does not fit. Each
// platform has its own (local_time_posix.cpp, local_time_windows.cpp).
std::size_t FormatTimeOfDay(std::time_t now, char* out, std::size_t size) noexcept;

}  // namespace ravuvur
