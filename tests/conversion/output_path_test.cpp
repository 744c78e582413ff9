#include <gtest/gtest.h>

#include "conversion/output_path.h"

namespace ravuvur {
namespace {

struct PathCase {
  const char* input;
  const char* csv;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << '[' << c.input << ']'; }

class DeriveCsvPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(DeriveCsvPathTest, DropsFourCharactersAndUpperCasesTheName) {
  EXPECT_EQ(DeriveCsvPath(GetParam().input), GetParam().csv) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeriveCsvPathTest,
    ::testing::Values(PathCase{"mov0612.dat", "MOV0612.CSV"},
                      PathCase{"MOV0612.DAT", "MOV0612.CSV"},
                      // Only the name is upper-cased, so the folder still exists.
                      PathCase{"/srv/dados/mov0612.dta", "/srv/dados/MOV0612.CSV"},
                      PathCase{"./dados/ação.dat", "./dados/AÇÃO.CSV"},
                      PathCase{"/srv/movimento", "/srv/MOVIM.CSV"},  // no dot: four letters go
                      PathCase{"abcd", ".CSV"}, PathCase{"a.b.c.d.e", "A.B.C.CSV"},
                      PathCase{"dados/mov.çãé", "dados/MOV.CSV"},  // characters, not bytes
                      PathCase{"    ", ".CSV"}, PathCase{"x.csv", "X.CSV"},
                      PathCase{"/ab/", ".CSV"}, PathCase{"abc", ""}, PathCase{"a", ""},
                      PathCase{"", ""}, PathCase{"açã", ""}));

}  // namespace
}  // namespace ravuvur
