#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ravuvur {

// The number of records a header's count text announces. Spaces, tabs and
// line feeds anywhere are ignored; then the longest leading number is read:
// an optional sign, digits with an optional decimal point, an optional
// exponent (E, optional sign, digits), or &H hexadecimal / &O octal digits,
// letters in either case. No number reads as 0. The value is rounded to the
// nearest integer, halves to the even neighbour, exactly (no floating
// point), so "2.5" gives 2 and "2.50001" gives 3.
//
// Returns nothing when the value does not fit a signed 16-bit integer: such
// a count cannot drive the record loop.
std::optional<std::int16_t> CountValue(std::string_view countText);

}  // namespace ravuvur
