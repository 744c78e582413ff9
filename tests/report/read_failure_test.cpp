// A report whose operating-system calls fail (os_calls.h) or whose writing
// is cut short: a read error part-way through a file's records, a file
// system without unnamed files, a write refused, a signal.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

#include "report/report_run.h"
#include "tests/support/child_process.h"
#include "tests/support/os_calls.h"
#include "tests/support/test_files.h"

namespace {

namespace os = ziz_test::os_calls;
using ziz_test::Departure;
using ziz_test::MovementFile;
using Strings = std::vector<std::string>;

class ReportFailureTest : public ::testing::Test {
 protected:
  void TearDown() override {
    os::failingRead = os::readsSoFar = 0;
    os::failingLink = os::linksSoFar = 0;
    os::noUnnamedFiles = false;
    os::created.clear();
  }
  // An earlier report's three files, and one movement file read.
  void EarlierReportAndOneFileRead() {
    for (const std::string_view name : kNames) {
      ziz_test::WriteFile(dir / name, ziz_test::kEarlierCsv);
    }
    ziz_test::WriteFile(dir / "MOV.DAT", MovementFile("00001", {Departure()}));
    reader.Read(dir / "MOV.DAT");
  }
  Strings ReportNow() const {
    Strings contents;
    for (const std::string_view name : kNames) contents.push_back(ziz_test::ReadFile(dir / name));
    return contents;
  }

  static constexpr std::string_view kNames[] = {report::kDailyCsvName, report::kHourlyCsvName,
                                                report::kPageName};
  const Strings kAllEntries{"MOV-POR-HORA.CSV", "MOV.DAT", "RELATORIO.HTML", "TOTAL-DIARIO.CSV"};
  ziz_test::TempDir dir;
  Strings notes;
  report::ReportReader reader{
      [this](const report::FileNote& note, bool /*counted*/) { notes.push_back(note.message); }};
};

TEST_F(ReportFailureTest, AReadErrorAmongTheRecordsCountsNothingOfThatFile) {
  // The first 64 KiB hold the header and the first records.
  ziz_test::WriteFile(dir / "LONGO.DAT", MovementFile("03000", std::vector(3000, Departure())));
  os::failingRead = 2;
  reader.Read(dir / "LONGO.DAT");
  EXPECT_EQ(notes, (Strings{"028 ERRO ao ler o arquivo de entrada"}));
  EXPECT_TRUE(reader.tally().Days().empty());
  EXPECT_EQ(reader.facts().filesCounted, 0);
}

TEST_F(ReportFailureTest, WithoutUnnamedFilesNothingIsLeftBehind) {
  ziz_test::WriteFile(dir / "MOV.DAT", MovementFile("00001", {Departure()}));
  reader.Read(dir / "MOV.DAT");
  os::noUnnamedFiles = true;
  std::string failure;
  ASSERT_TRUE(report::WriteReport(dir.path(), reader, failure)) << failure;
  ASSERT_FALSE(os::created.empty());
  for (const std::string& name : os::created) EXPECT_EQ(name.front(), '.') << name;
  EXPECT_EQ(dir.Entries(),
            (Strings{"MOV-POR-HORA.CSV", "MOV.DAT", "RELATORIO.HTML", "TOTAL-DIARIO.CSV"}));
}

TEST_F(ReportFailureTest, AWriteRefusedOnThePageLeavesTheWholeEarlierReport) {
  EarlierReportAndOneFileRead();
  // The page is the last file and the only one past 4 KiB: the file-size
  // limit refuses its writing once both CSV files are complete.
  const int status = ziz_test::InChild([this] {
    const rlimit fourKib{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &fourKib);
    std::string failure;
    return report::WriteReport(dir.path(), reader, failure) ? 0 : 1;
  });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(ReportNow(), Strings(3, ziz_test::kEarlierCsv));
  EXPECT_EQ(dir.Entries(), kAllEntries);
}

TEST_F(ReportFailureTest, ANameRefusedToThePageLeavesTheWholeEarlierReport) {
  EarlierReportAndOneFileRead();
  os::failingLink = 3;  // the page's, once both CSV files have theirs
  std::string failure;
  EXPECT_FALSE(report::WriteReport(dir.path(), reader, failure));
  EXPECT_EQ(ReportNow(), Strings(3, ziz_test::kEarlierCsv));
  EXPECT_EQ(dir.Entries(), kAllEntries);
}

TEST_F(ReportFailureTest, ASignalWhileTheReportIsPutInPlaceLeavesAllOldOrAllNew) {
  EarlierReportAndOneFileRead();
  const Strings earlier = ReportNow();
  std::string failure;
  ASSERT_TRUE(report::WriteReport(dir.path(), reader, failure)) << failure;
  const Strings made = ReportNow();
  // Round after round, the signal goes the moment the first file changes:
  // the others must change with it, or none.
  const auto inodeOf = [this](std::string_view name) {
    struct stat st {};
    ::stat((dir / name).c_str(), &st);
    return st.st_ino;
  };
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int rounds = 0;
  for (; rounds < 20 && (rounds < 4 || std::chrono::steady_clock::now() < end); ++rounds) {
    for (const std::string_view name : kNames)
      ziz_test::WriteFile(dir / name, ziz_test::kEarlierCsv);
    const ino_t before = inodeOf(kNames[0]);
    const pid_t child = ::fork();
    if (child == 0) {
      std::string childFailure;
      report::WriteReport(dir.path(), reader, childFailure);
      for (;;) ::pause();  // only the signal ends it, held back or not
    }
    const auto roundEnd = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (inodeOf(kNames[0]) == before && std::chrono::steady_clock::now() < roundEnd) {
    }
    ::kill(child, SIGTERM);
    EXPECT_EQ(ziz_test::WaitFor(child), 128 + SIGTERM);
    const Strings now = ReportNow();
    ASSERT_TRUE(now == earlier || now == made) << "round " << rounds;
    ASSERT_EQ(dir.Entries(), kAllEntries) << "round " << rounds;
  }
}

}  // namespace
