// Windows' matching of a pattern against a file's long name, which
// dta2csv.exe checks every file Windows' own search found against.

#include <gtest/gtest.h>

#include "core/name_pattern.h"

namespace ravuvur {
namespace {

struct PatternCase {
  const char* pattern;
  const char* name;
  bool matches;
};

void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.pattern << " ~ " << c.name; }

class MatchesLikeWindowsTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(MatchesLikeWindowsTest, MatchesTheLongName) {
  EXPECT_EQ(MatchesLikeWindows(GetParam().pattern, GetParam().name), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchesLikeWindowsTest,
    ::testing::Values(PatternCase{"*.DAT", "mov0612.dat", true},
                      PatternCase{"*.DAT", "mov0612.datold", false},  // its short name would
                      PatternCase{"*.dat", "a.b.dat", true},          // earlier dots are any
                      PatternCase{"a*", "A", true},                   // a star may take nothing
                      PatternCase{"AÇÃO?.DAT", "ação1.dat", true},    // case beyond ASCII
                      PatternCase{"*.*", "LEIAME", true},
                      PatternCase{"*.", "LEIAME", true},  // names without an extension
                      PatternCase{"*.", "mov.dat", false},
                      PatternCase{"mov?.dat", "mov.dat", true},  // none before a dot
                      PatternCase{"mov?.dat", "movxy.dat", false},
                      PatternCase{"mov.dat?", "mov.dat", true}));  // none at the end

}  // namespace
}  // namespace ravuvur
