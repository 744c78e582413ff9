#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "conversion/csv_file.h"
#include "conversion/run_conversion.h"
#include "core/wide_text.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

using ziz_test::TempDir;
using Strings = std::vector<std::string>;

constexpr std::string_view kEarlierCsv = "\"earlier\"\r\n";

// Holds a file open without sharing, as a spreadsheet holds the CSV it shows.
class OpenInASpreadsheet {
 public:
  explicit OpenInASpreadsheet(const std::string& path)
      : handle_(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~OpenInASpreadsheet() { CloseHandle(handle_); }
  OpenInASpreadsheet(const OpenInASpreadsheet&) = delete;
  OpenInASpreadsheet& operator=(const OpenInASpreadsheet&) = delete;
  bool Holds() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

class CsvCommitWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ziz_test::WriteFile(input, ziz_test::MovementFile("00001", {ziz_test::Departure()}));
    ziz_test::WriteFile(csv, kEarlierCsv);
  }
  DWORD Attributes() const { return GetFileAttributesW(WideFromUtf8(csv).c_str()); }

  TempDir dir;
  const std::string input = dir / "mov.dat";
  const std::string csv = dir / "MOV.CSV";
  ModuleState state = ziz_test::FixedClockState();
};

TEST_F(CsvCommitWindowsTest, CsvOpenInASpreadsheetEndsTheRunWith023AndStaysAsItWas) {
  {
    const OpenInASpreadsheet spreadsheet(csv);
    ASSERT_TRUE(spreadsheet.Holds());
    EXPECT_FALSE(RunConversion(state, input));
  }
  const Strings log = ziz_test::Messages(state.log);
  EXPECT_NE(std::find(log.begin(), log.end(), "023 ERRO ao criar o arquivo de saida: " + csv),
            log.end())
      << state.log.Text();
  EXPECT_EQ(ziz_test::ReadFile(csv), kEarlierCsv);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
}

TEST_F(CsvCommitWindowsTest, CsvOpenInASpreadsheetIsSaidToBeInUse) {
  // 023 is the same for every cause; dta2csv adds this reason.
  std::string reason;
  {
    const OpenInASpreadsheet spreadsheet(csv);
    ASSERT_TRUE(spreadsheet.Holds());
    RunConversion(state, input, &reason);
  }
  EXPECT_EQ(reason, "in use by another program");
}

TEST_F(CsvCommitWindowsTest, EarlierCsvCannotBeTakenAwayUntilTheRename) {
  CsvFile output;
  ASSERT_EQ(output.Create(csv, FileIdentity{}), CsvFile::CreateResult::Created);
  EXPECT_FALSE(OpenInASpreadsheet(csv).Holds());
  EXPECT_FALSE(MoveFileW(WideFromUtf8(csv).c_str(), WideFromUtf8(dir / "OTHER.CSV").c_str()));
  const std::string_view row = "\"new\"\r\n";
  output.Wrote(std::copy(row.begin(), row.end(), output.Room(row.size())));
  EXPECT_EQ(output.Commit(), CsvFile::CommitResult::Committed);
  EXPECT_EQ(ziz_test::ReadFile(csv), "\"new\"\r\n");
}

TEST_F(CsvCommitWindowsTest, ReadOnlyCsvIsNotReplaced) {
  ASSERT_TRUE(SetFileAttributesW(WideFromUtf8(csv).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(RunConversion(state, input));
  EXPECT_EQ(ziz_test::Messages(state.log)[3], "023 ERRO ao criar o arquivo de saida: " + csv);
  SetFileAttributesW(WideFromUtf8(csv).c_str(), FILE_ATTRIBUTE_NORMAL);  // so the folder goes
  EXPECT_EQ(ziz_test::ReadFile(csv), kEarlierCsv);
}

TEST_F(CsvCommitWindowsTest, NewCsvKeepsTheAttributesOfTheEarlierOne) {
  ASSERT_TRUE(SetFileAttributesW(WideFromUtf8(csv).c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(RunConversion(state, input)) << state.log.Text();
  EXPECT_NE(ziz_test::ReadFile(csv), kEarlierCsv);
  EXPECT_NE(Attributes() & FILE_ATTRIBUTE_HIDDEN, 0u);
}

}  // namespace
}  // namespace ravuvur
