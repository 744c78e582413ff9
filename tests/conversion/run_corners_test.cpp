// Runs at the edges of what the engine handles: CSVs far larger than one
// block of rows, however the new CSV gets its place, and the odd lines and
// names that each take one branch of the run.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "conversion/csv_file.h"
#include "conversion/run_conversion.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

using ziz_test::Arrival;
using ziz_test::Codes;
using ziz_test::Departure;
using ziz_test::MovementFile;
using ziz_test::ReadFile;
using ziz_test::WriteFile;
using Strings = std::vector<std::string>;

// How the new CSV takes the earlier one's place.
enum class Placement { Unnamed, Named, InPlace };

std::string PlacementName(const ::testing::TestParamInfo<Placement>& info) {
  switch (info.param) {
    case Placement::Unnamed: return "UnnamedFile";
    case Placement::Named: return "NamedFile";
    case Placement::InPlace: return "InPlace";
  }
  return "";
}

class BigCsvTest : public ::testing::TestWithParam<Placement> {
 protected:
  // Converts `input` the way the parameter says; true when converted.
  bool Convert(const std::string& input) {
    switch (GetParam()) {
      case Placement::Unnamed: return RunConversion(state, input);
      case Placement::Named: {
        CsvFile::UseNamedTemporaryFiles(true);
        const bool converted = RunConversion(state, input);
        CsvFile::UseNamedTemporaryFiles(false);
        return converted;
      }
      case Placement::InPlace: {
        // A writable CSV in a folder its user may not write in.
        ::chmod(csv.c_str(), 0666);
        ::chmod(dir.path().c_str(), 0555);
        const int status = ziz_test::ConvertInChild(input, ziz_test::BecomeUnprivileged).status;
        ::chmod(dir.path().c_str(), 0755);
        return status == 0;
      }
    }
    return false;
  }

  ziz_test::TempDir dir;
  const std::string csv = dir / "MOV.CSV";
  ModuleState state = ziz_test::FixedClockState();
};

TEST_P(BigCsvTest, ManyBlocksOfRowsOverALongerEarlierCsvComeOutWhole) {
  // One departure and one arrival give the two rows the big CSV repeats.
  WriteFile(dir / "pair.dat", MovementFile("00002", {Departure(), Arrival()}));
  ASSERT_TRUE(RunConversion(state, dir / "pair.dat"));
  const std::string pair = ReadFile(dir / "PAIR.CSV");

  constexpr int kPairs = 1500;  // a few times the 64 KiB the rows are written by
  std::vector<ziz_test::Record> records;
  for (int i = 0; i < kPairs; ++i) {
    records.push_back(Departure());
    records.push_back(Arrival());
  }
  std::string expected;
  for (int i = 0; i < kPairs; ++i) expected += pair;
  ASSERT_GT(expected.size(), std::size_t{3} * 64 * 1024);

  WriteFile(dir / "mov.dat", MovementFile(std::to_string(2 * kPairs), records));
  WriteFile(csv, std::string(expected.size() + 4321, 'x'));
  ASSERT_TRUE(Convert(dir / "mov.dat"));
  const std::string written = ReadFile(csv);
  EXPECT_EQ(written.size(), expected.size());
  EXPECT_TRUE(written == expected) << "the CSV differs from the rows repeated";
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "PAIR.CSV", "mov.dat", "pair.dat"}));
}

INSTANTIATE_TEST_SUITE_P(Placements, BigCsvTest,
                         ::testing::Values(Placement::Unnamed, Placement::Named,
                                           Placement::InPlace),
                         PlacementName);

class RunCornersTest : public ::testing::Test {
 protected:
  ziz_test::TempDir dir;
  ModuleState state = ziz_test::FixedClockState();
};

TEST_F(RunCornersTest, MissingInputWhoseCsvNameIsAFolderReportsOnlyTheInput) {
  ::mkdir((dir / "MISSING.CSV").c_str(), 0755);
  EXPECT_FALSE(RunConversion(state, dir / "missing.dat"));
  const Strings codes = Codes(state.log);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), "021"), 1);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), "023"), 0);
}

TEST_F(RunCornersTest, ShortLineAfterAFullOneLeavesNothingOfItBehind) {
  ziz_test::Record full = Departure("SBKP", "0705");
  full.c54 = "AER1";
  const std::string cut = Departure("SBGR", "0810").Line().substr(0, 56);
  WriteFile(dir / "mov.dat", ziz_test::Header("00002") + "\r\n" + full.Line() + "\r\n" + cut);
  ASSERT_TRUE(RunConversion(state, dir / "mov.dat"));
  const std::string rows = ReadFile(dir / "MOV.CSV");
  const std::size_t second = rows.find("\r\n") + 2;
  EXPECT_NE(rows.find("\"AER1\"\r\n"), std::string::npos) << rows;
  EXPECT_NE(rows.find("\"AER\"\r\n", second), std::string::npos) << rows;
}

}  // namespace
}  // namespace ravuvur
