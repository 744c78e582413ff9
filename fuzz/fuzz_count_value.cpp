// Fuzzes the reading of a header's record count: spaces never matter, and
// the value agrees with a floating-point reading of the same leading number
// wherever that reading is not too close to a half to be trusted.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "conversion/count_value.h"
#include "fuzz/fuzz_check.h"

using ziz_fuzz::Show;

namespace {

// The longest leading "[sign] digits [. digits] [E [sign] digits]".
std::string LeadingDecimal(const std::string& s) {
  std::size_t p = 0;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
  bool digits = false;
  while (p < s.size() && std::isdigit(static_cast<unsigned char>(s[p]))) ++p, digits = true;
  if (p < s.size() && s[p] == '.') {
    ++p;
    while (p < s.size() && std::isdigit(static_cast<unsigned char>(s[p]))) ++p, digits = true;
  }
  if (!digits) return "";
  std::size_t end = p;
  if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
    std::size_t q = p + 1;
    if (q < s.size() && (s[q] == '+' || s[q] == '-')) ++q;
    if (q < s.size() && std::isdigit(static_cast<unsigned char>(s[q]))) {
      while (q < s.size() && std::isdigit(static_cast<unsigned char>(s[q]))) ++q;
      end = q;
    }
  }
  return s.substr(0, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<std::int16_t> value = ravuvur::CountValue(text);

  // Spaces, tabs and line feeds anywhere are ignored.
  std::string squeezed;
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') squeezed += c;
  }
  FUZZ_CHECK(ravuvur::CountValue(squeezed) == value, Show(text));
  for (const char* filler : {" ", "\t", "\n"}) {
    std::string spread = text;
    spread.insert(size == 0 ? 0 : data[0] % (size + 1), filler);
    FUZZ_CHECK(ravuvur::CountValue(spread) == value, Show(spread));
  }

  if (squeezed.size() >= 2 && squeezed[0] == '&' && (squeezed[1] | 0x20) != 'h' &&
      (squeezed[1] | 0x20) != 'o') {
    FUZZ_CHECK(value == 0, Show(text));  // "&" with no known radix is no number
  }
  if (squeezed.size() >= 2 && squeezed[0] == '&') return 0;

  const std::string number = LeadingDecimal(squeezed);
  if (number.empty()) {
    FUZZ_CHECK(value == 0, Show(text));
    return 0;
  }
  const long double reading = std::strtold(number.c_str(), nullptr);
  if (!std::isfinite(reading) || std::fabs(reading) > 1e6L) {
    FUZZ_CHECK(!value, Show(text));
    return 0;
  }
  const long double fraction = std::fabs(reading - std::trunc(reading));
  if (std::fabs(fraction - 0.5L) < 1e-9L) return 0;  // halves: see the unit tests
  const long double rounded = std::nearbyint(reading);
  if (rounded < -32768.0L || rounded > 32767.0L) {
    FUZZ_CHECK(!value, Show(text));
  } else {
    FUZZ_CHECK(value && *value == static_cast<int>(rounded), Show(text) + " read as " + number);
  }
  return 0;
}
