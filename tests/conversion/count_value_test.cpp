#include <gtest/gtest.h>

#include "conversion/count_value.h"

namespace ravuvur {
namespace {

struct CountCase {
  const char* text;
  std::optional<std::int16_t> value;  // nothing: out of the 16-bit range
};

void PrintTo(const CountCase& c, std::ostream* os) {
  *os << '[';
  for (const char* p = c.text; *p; ++p)
    *os << (*p == '\t' ? "\\t" : *p == '\n' ? "\\n" : std::string(1, *p));
  *os << ']';
}

class CountValueTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountValueTest, ReadsTheLeadingNumber) {
  EXPECT_EQ(CountValue(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Plain, CountValueTest,
                         ::testing::Values(CountCase{"00012", 12}, CountCase{"   12", 12},
                                           CountCase{"     ", 0}, CountCase{"", 0},
                                           CountCase{"12A", 12}, CountCase{"ABC", 0},
                                           CountCase{"1 2 3", 123}, CountCase{"1\t2\n3", 123},
                                           CountCase{"+7", 7}, CountCase{"-5", -5},
                                           CountCase{"--5", 0}, CountCase{"-", 0},
                                           CountCase{"00000", 0}, CountCase{"-0", 0}));

INSTANTIATE_TEST_SUITE_P(RoundsHalvesToEven, CountValueTest,
                         ::testing::Values(CountCase{"2.5", 2}, CountCase{"3.5", 4},
                                           CountCase{"0.5", 0}, CountCase{"1.5", 2},
                                           CountCase{"-2.5", -2}, CountCase{"-3.5", -4},
                                           CountCase{"2.51", 3}, CountCase{"2.500000001", 3},
                                           CountCase{"2.4999", 2}, CountCase{".5", 0},
                                           CountCase{".51", 1}, CountCase{"0.05", 0},
                                           CountCase{"7.", 7}, CountCase{".", 0},
                                           CountCase{"1.2.3", 1}, CountCase{"2.5.1", 2}));

INSTANTIATE_TEST_SUITE_P(
    Exponents, CountValueTest,
    ::testing::Values(CountCase{"1E2", 100}, CountCase{"1e2", 100}, CountCase{"1E+2", 100},
                      CountCase{"25E-1", 2}, CountCase{"35E-1", 4}, CountCase{"5E-2", 0},
                      CountCase{"1E", 1}, CountCase{"1E+", 1}, CountCase{"1EX", 1},
                      CountCase{"3.2767E4", 32767}, CountCase{"1E5", std::nullopt},
                      CountCase{"1E99999999999", std::nullopt}, CountCase{"9E-99999999", 0}));

INSTANTIATE_TEST_SUITE_P(HexAndOctal, CountValueTest,
                         ::testing::Values(CountCase{"&H1F", 31}, CountCase{"&hff", 255},
                                           CountCase{"&H7FFF", 32767},
                                           CountCase{"&H8000", std::nullopt}, CountCase{"&O17", 15},
                                           CountCase{"&o78", 7}, CountCase{"&H", 0},
                                           CountCase{"&HG", 0}, CountCase{"&", 0},
                                           CountCase{"&X1", 0}, CountCase{"& H 1 0", 16},
                                           CountCase{"&H10000000000000000", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    SixteenBitRange, CountValueTest,
    ::testing::Values(CountCase{"32767", 32767}, CountCase{"32768", std::nullopt},
                      CountCase{"99999", std::nullopt}, CountCase{"-32768", -32768},
                      CountCase{"-32769", std::nullopt}, CountCase{"32767.5", std::nullopt},
                      CountCase{"32766.5", 32766}, CountCase{"0000000000032767", 32767},
                      CountCase{"123456789012345678901234567890", std::nullopt}));

}  // namespace
}  // namespace ravuvur
