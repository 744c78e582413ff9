// A report whose operating-system calls fail (os_calls.h): a read error
// part-way through a file's records, a file system without unnamed files.

#include <gtest/gtest.h>

#include "report/report_run.h"
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
    os::noUnnamedFiles = false;
    os::created.clear();
  }
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

}  // namespace
