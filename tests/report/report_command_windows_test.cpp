// dta2csv --report on Windows, in this process: patterns in the inputs
// are expanded as for conversions, since Windows shells leave that to the
// program.

#include <gtest/gtest.h>

#include "cli/report_command.h"
#include "tests/support/test_files.h"

namespace {

using Strings = std::vector<std::string>;

TEST(ReportCommandWindowsTest, PatternsStandForTheFilesTheyMatch) {
  ziz_test::TempDir dir;
  ziz_test::MakeFolder(dir / "relatorio");
  for (const char* name : {"mov1.dat", "mov2.dat", "notas.txt"}) {
    ziz_test::WriteFile(dir / name, ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  }
  EXPECT_EQ(dta2csv::RunReportCommand({dir / "relatorio", dir / "mov?.*"}), 0);
  // notas.txt, a movement file too, was not matched: two departures.
  EXPECT_TRUE(
      ziz_test::ReadFile(dir / "relatorio/TOTAL-DIARIO.CSV")
          .ends_with("\"SBJD\",\"06/12/2026\",\"2\",\"0\",\"0\",\"0\",\"0\",\"2\",\"2\"\r\n"));
}

TEST(ReportCommandWindowsTest, APatternThatMatchesNothingExitsOneWithTheReportWritten) {
  ziz_test::TempDir dir;
  ziz_test::WriteFile(dir / "mov.dat", ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  EXPECT_EQ(dta2csv::RunReportCommand({dir.path(), dir / "nada*.dat", dir / "mov.dat"}), 1);
  EXPECT_EQ(dir.Entries(),
            (Strings{"MOV-POR-HORA.CSV", "RELATORIO.HTML", "TOTAL-DIARIO.CSV", "mov.dat"}));
}

}  // namespace
