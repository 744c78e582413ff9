// dta2csv --report as a process: its arguments, exit status and messages,
// the archive end to end, and what only POSIX can set up (another
// user's folder, kept permissions, a real read error).

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "report/report_run.h"
#include "tests/report/independent_count.h"
#include "tests/report/sample_files.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace {

using ziz_test::MovementFile;
using ziz_test::WriteFile;
using Strings = std::vector<std::string>;

struct Result {
  int status = -1;
  std::string err;  // standard error; standard output must stay empty
  std::string out;
};

// Runs dta2csv with `args` in `dir` under the C locale, its two outputs
// caught in files of their own.
Result Report(const ziz_test::TempDir& dir, const Strings& args) {
  std::string command = "cd '" + dir.path() + "' && LC_ALL=C '" DTA2CSV_PATH "'";
  for (const std::string& arg : args) command += " '" + arg + "'";  // no quote in any of them
  const int status = std::system((command + " >.out 2>.err").c_str());
  Result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ziz_test::ReadFile(dir / ".err"),
                ziz_test::ReadFile(dir / ".out")};
  std::filesystem::remove(dir / ".err");
  std::filesystem::remove(dir / ".out");
  return result;
}

Strings Lines(const std::string& text) {
  Strings lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

class ReportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ziz_test::MakeFolder(dir / "arquivo");
    ziz_test::MakeFolder(dir / "relatorio");
  }
  ziz_test::TempDir dir;
};

// The bar: six month files for two stations and the odd files an archive
// also holds, folder PASTA.DAT included, given as one folder.
TEST_F(ReportCommandTest, AnArchiveWithAFolderNamedLikeAFileExitsOneWithTheWholeReport) {
  ziz_test::WriteSixMonths(dir / "arquivo");
  ziz_test::WriteOddFiles(dir / "arquivo");
  const Result r = Report(dir, {"--report", "relatorio", "arquivo"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Lines(r.err),
            (Strings{"dta2csv: arquivo/CURTO.DAT: 027 AVISO: fim do arquivo antes do registro 3 "
                     "de 00010",
                     "dta2csv: arquivo/PASTA.DAT: 021 ERRO ao abrir o arquivo de entrada"}));

  Strings contents;
  for (const std::string& name : ziz_test::EntriesOf(dir / "arquivo")) {
    if (name != "PASTA.DAT") contents.push_back(ziz_test::ReadFile(dir / "arquivo/" + name));
  }
  const ziz_test::ExpectedReport expected = ziz_test::CountIndependently(contents);
  EXPECT_EQ(ziz_test::CsvRowsOf(ziz_test::ReadFile(dir / "relatorio/TOTAL-DIARIO.CSV")),
            expected.daily);
  const ziz_test::CsvRows hourly =
      ziz_test::CsvRowsOf(ziz_test::ReadFile(dir / "relatorio/MOV-POR-HORA.CSV"));
  EXPECT_EQ(hourly, expected.hourly);

  // Every station-day of the daily file has its hours 00 to 23, in order.
  std::size_t row = 1;
  for (std::size_t day = 1; day < expected.daily.size(); ++day) {
    for (int hour = 0; hour < 24; ++hour, ++row) {
      ASSERT_LT(row, hourly.size());
      EXPECT_EQ(hourly[row][0] + hourly[row][1], expected.daily[day][0] + expected.daily[day][1]);
      EXPECT_EQ(std::stoi(hourly[row][2]), hour);
    }
    if (row < hourly.size() && hourly[row][2].empty()) ++row;
  }
  EXPECT_EQ(row, hourly.size());

  const std::string page = ziz_test::ReadFile(dir / "relatorio/RELATORIO.HTML");
  std::size_t charts = 0;
  for (std::size_t at = page.find("<svg"); at != std::string::npos; at = page.find("<svg", at + 1))
    ++charts;
  EXPECT_EQ(charts, 2u);
  for (const char* reference : {"src=", "href=", "url(", "@import", "<link"}) {
    EXPECT_EQ(page.find(reference), std::string::npos) << reference;
  }
  long long total = 0;
  for (std::size_t day = 1; day < expected.daily.size(); ++day) {
    total += std::stoll(expected.daily[day][7]);
  }
  std::string shown = std::to_string(total);
  for (std::size_t at = shown.size(); at > 3; at -= 3) shown.insert(at - 3, ".");
  EXPECT_NE(page.find("<dt>Total de movimentos</dt><dd>" + shown + " "), std::string::npos)
      << shown;

  // Without the folder, the same archive is read without a fault.
  std::filesystem::remove(dir / "arquivo/PASTA.DAT");
  EXPECT_EQ(Report(dir, {"--report", "relatorio", "arquivo"}).status, 0);
}

TEST_F(ReportCommandTest, UsageErrorsExitTwoAndWriteNothing) {
  for (const Strings& args :
       {Strings{"--report"}, Strings{"--report", "relatorio"}, Strings{"--report", "", "a.dat"},
        Strings{"--report", "relatorio", "-x", "a.dat"}}) {
    const Result r = Report(dir, args);
    EXPECT_EQ(r.status, 2) << args.size();
    EXPECT_NE(r.err.find("Usage: dta2csv --report DIR [--] INPUT..."), std::string::npos) << r.err;
  }
  EXPECT_TRUE(ziz_test::EntriesOf(dir / "relatorio").empty());
}

TEST_F(ReportCommandTest, NamesAfterADoubleDashAreInputsEvenWithADash) {
  WriteFile(dir / "-x.DAT", MovementFile("00001", {ziz_test::Departure()}));
  const Result r = Report(dir, {"--report", "relatorio", "--", "-x.DAT"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ziz_test::EntriesOf(dir / "relatorio"),
            (Strings{"MOV-POR-HORA.CSV", "RELATORIO.HTML", "TOTAL-DIARIO.CSV"}));
}

TEST_F(ReportCommandTest, ALoneDashIsAnInput) {
  WriteFile(dir / "-", MovementFile("00001", {ziz_test::Departure()}));
  const Result r = Report(dir, {"--report", "relatorio", "-"});
  EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(ReportCommandTest, AFolderThatCannotTakeTheReportIsSaidBeforeAnyFileIsRead) {
  const Result r = Report(dir, {"--report", "falta", "missing.dat"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "dta2csv: the report cannot be written: falta/TOTAL-DIARIO.CSV: No such file "
            "or directory\n");
  EXPECT_FALSE(ziz_test::Exists(dir / "falta"));
}

TEST_F(ReportCommandTest, AFolderOfAnotherUserIsRefused) {
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "needs root to become another user";
  WriteFile(dir / "arquivo/MOV.DAT", MovementFile("00001", {ziz_test::Departure()}));
  ::chmod((dir / "arquivo/MOV.DAT").c_str(), 0644);
  ::chmod(dir.path().c_str(), 0755);
  ::chmod((dir / "arquivo").c_str(), 0755);
  const int status = ziz_test::InChild([&] {
    ziz_test::BecomeUnprivileged();
    std::string failure;
    report::ReportReader reader(nullptr);
    reader.Read(dir / "arquivo");
    if (!report::CanWriteReport(dir / "relatorio", failure)) return 10;
    return report::WriteReport(dir / "relatorio", reader, failure) ? 0 : 11;
  });
  EXPECT_EQ(status, 10);
  EXPECT_TRUE(ziz_test::EntriesOf(dir / "relatorio").empty());
}

TEST_F(ReportCommandTest, AReplacedReportKeepsItsPermissions) {
  WriteFile(dir / "relatorio/TOTAL-DIARIO.CSV", ziz_test::kEarlierCsv);
  ::chmod((dir / "relatorio/TOTAL-DIARIO.CSV").c_str(), 0640);
  WriteFile(dir / "arquivo/MOV.DAT", MovementFile("00001", {ziz_test::Departure()}));
  ASSERT_EQ(Report(dir, {"--report", "relatorio", "arquivo/MOV.DAT"}).status, 0);
  struct stat st {};
  ASSERT_EQ(::stat((dir / "relatorio/TOTAL-DIARIO.CSV").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_NE(ziz_test::ReadFile(dir / "relatorio/TOTAL-DIARIO.CSV"), ziz_test::kEarlierCsv);
}

TEST_F(ReportCommandTest, AFileThatCannotBeReadCountsNothing) {
  // The process's own memory is a regular file whose first bytes cannot be
  // read: a read error without any trick.
  WriteFile(dir / "arquivo/MOV.DAT", MovementFile("00001", {ziz_test::Departure()}));
  const Result r = Report(dir, {"--report", "relatorio", "/proc/self/mem", "arquivo/MOV.DAT"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "dta2csv: /proc/self/mem: 028 ERRO ao ler o arquivo de entrada\n");
  EXPECT_TRUE(ziz_test::ReadFile(dir / "relatorio/TOTAL-DIARIO.CSV").ends_with("\"1\",\"1\"\r\n"));
}

TEST_F(ReportCommandTest, HelpDescribesTheReport) {
  const Result r = Report(dir, {"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("dta2csv --report DIR [--] INPUT..."), std::string::npos);
  EXPECT_NE(r.out.find("TOTAL-DIARIO.CSV"), std::string::npos);
}

}  // namespace
