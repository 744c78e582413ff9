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
                      PathCase{"MOV0612.DAT", "MOV0612.CSV"}, PathCase{"abcd", ".CSV"},
                      PathCase{"a.b.c.d.e", "A.B.C.CSV"}, PathCase{"    ", ".CSV"},
                      PathCase{"x.csv", "X.CSV"}, PathCase{"abc", ""}, PathCase{"a", ""},
                      PathCase{"", ""}, PathCase{"açã", ""},
                      // ".CSV" would replace a separator: the CSV in another folder.
                      PathCase{"dados/arquivo/A", ""}, PathCase{"/ab/", ""}, PathCase{"d/abc", ""},
                      PathCase{"/abcd", "/.CSV"}));

#if defined(_WIN32)
// Names ignore letter case: the whole path is upper-cased, whatever its form.
INSTANTIATE_TEST_SUITE_P(
    WholePath, DeriveCsvPathTest,
    ::testing::Values(PathCase{"C:\\Dados\\mov0612.dat", "C:\\DADOS\\MOV0612.CSV"},
                      PathCase{"c:/dados/ação.dat", "C:/DADOS/AÇÃO.CSV"},
                      PathCase{"\\\\servidor\\mov\\m.dat", "\\\\SERVIDOR\\MOV\\M.CSV"},
                      PathCase{"c:movimento", "C:MOVIM.CSV"},        // no dot: four letters go
                      PathCase{"dados\\mov.çãé", "DADOS\\MOV.CSV"},  // characters, not bytes
                      // Windows opens mov.dat for these; \\?\ takes names literally.
                      PathCase{"mov.dat.", "MOV.CSV"},
                      PathCase{"c:\\d\\mov.dat . ", "C:\\D\\MOV.CSV"},
                      PathCase{"\\\\?\\c:\\d\\m.dat.", "\\\\?\\C:\\D\\M..CSV"},
                      // Either separator, and a drive's colon, ends a folder.
                      PathCase{"dados\\abc", ""}, PathCase{"c:abc", ""},
                      PathCase{"c:\\abcd", "C:\\.CSV"}));
#else
// Only the name is upper-cased, so the folder still exists.
INSTANTIATE_TEST_SUITE_P(
    NameOnly, DeriveCsvPathTest,
    ::testing::Values(PathCase{"/srv/dados/mov0612.dta", "/srv/dados/MOV0612.CSV"},
                      PathCase{"./dados/ação.dat", "./dados/AÇÃO.CSV"},
                      PathCase{"/srv/movimento", "/srv/MOVIM.CSV"},  // no dot: four letters go
                      PathCase{"dados/mov.çãé", "dados/MOV.CSV"}));  // characters, not bytes
#endif

}  // namespace
}  // namespace ravuvur
