#include "conversion/count_value.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ravuvur {
namespace {

// Anything past this is out of range in any case; capping keeps the
// arithmetic small whatever the input's length.
constexpr std::int64_t kCap = 1'000'000;

bool IsDigitIn(char c, int base) {
  if (c >= '0' && c <= '9') return c - '0' < base;
  const char lower = static_cast<char>(c | 0x20);
  return base == 16 && lower >= 'a' && lower <= 'f';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

std::optional<std::int16_t> Fit(std::int64_t value) {
  if (value < INT16_MIN || value > INT16_MAX) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

std::optional<std::int16_t> ReadRadix(std::string_view s, int base) {
  std::int64_t value = 0;
  for (const char c : s) {
    if (!IsDigitIn(c, base)) break;
    value = value * base + DigitValue(c);
    if (value > kCap) return std::nullopt;
  }
  return Fit(value);
}

// Reads [sign] digits [. digits] [E [sign] digits] and rounds half to even.
std::optional<std::int16_t> ReadDecimal(std::string_view s) {
  std::size_t p = 0;
  bool negative = false;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) negative = s[p++] == '-';

  // All significant digits in order, and where the decimal point sits
  // among them.
  std::string digits;
  std::int64_t pointAt = 0;
  bool seenPoint = false;
  bool anyDigit = false;
  for (; p < s.size(); ++p) {
    const char c = s[p];
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (digits.empty() && c == '0') {
        if (seenPoint) --pointAt;  // leading zero after the point shifts it
        continue;
      }
      digits += c;
      if (!seenPoint) ++pointAt;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return 0;

  // An exponent counts only when at least one digit follows E and its sign.
  if (p < s.size() && (s[p] == 'E' || s[p] == 'e')) {
    std::size_t q = p + 1;
    bool expNegative = false;
    if (q < s.size() && (s[q] == '+' || s[q] == '-')) expNegative = s[q++] == '-';
    if (q < s.size() && s[q] >= '0' && s[q] <= '9') {
      std::int64_t exponent = 0;
      for (; q < s.size() && s[q] >= '0' && s[q] <= '9'; ++q) {
        exponent = std::min<std::int64_t>(exponent * 10 + (s[q] - '0'), kCap);
      }
      pointAt += expNegative ? -exponent : exponent;
    }
  }
  if (digits.empty()) return 0;  // the value is zero, whatever its sign

  // digits = d1 d2 d3 ..., value = 0.d1d2d3... * 10^pointAt.
  if (pointAt > 6) return std::nullopt;
  std::int64_t integer = 0;
  for (std::int64_t k = 0; k < pointAt; ++k) {
    const auto index = static_cast<std::size_t>(k);
    integer = integer * 10 + (index < digits.size() ? digits[index] - '0' : 0);
  }
  // First dropped digit and whether anything non-zero follows it.
  int firstDropped = 0;
  bool restNonZero = false;
  if (pointAt >= 0) {
    const auto at = static_cast<std::size_t>(pointAt);
    if (at < digits.size()) {
      firstDropped = digits[at] - '0';
      restNonZero = digits.find_first_not_of('0', at + 1) != std::string::npos;
    }
  } else {
    // Below 0.1: the first dropped digit is a zero.
    restNonZero = true;
  }
  if (firstDropped > 5 || (firstDropped == 5 && (restNonZero || integer % 2 == 1))) ++integer;
  return Fit(negative ? -integer : integer);
}

}  // namespace

std::optional<std::int16_t> CountValue(std::string_view countText) {
  std::string s;
  s.reserve(countText.size());
  for (const char c : countText) {
    if (c != ' ' && c != '\t' && c != '\n') s += c;
  }
  if (s.size() >= 2 && s[0] == '&') {
    const char marker = static_cast<char>(s[1] | 0x20);
    if (marker == 'h') return ReadRadix(std::string_view(s).substr(2), 16);
    if (marker == 'o') return ReadRadix(std::string_view(s).substr(2), 8);
  }
  return ReadDecimal(s);
}

}  // namespace ravuvur
