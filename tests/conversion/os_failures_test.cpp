// Runs whose operating-system calls fail or are watched (os_calls.h):
// a read error part-way through the records, a file system without unnamed
// files, hidden names taken ahead, no random numbers, a full disk before an
// in-place write, the flushes that put the CSV on disk, and the clock of
// the log.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <set>

#include "conversion/csv_file.h"
#include "conversion/run_conversion.h"
#include "tests/support/child_process.h"
#include "tests/support/os_calls.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

namespace os = ziz_test::os_calls;
using ziz_test::Codes;
using ziz_test::Departure;
using ziz_test::kEarlierCsv;
using ziz_test::MovementFile;
using ziz_test::ReadFile;
using Strings = std::vector<std::string>;

class OsFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ziz_test::WriteFile(input, MovementFile("03000", std::vector(3000, Departure())));
    ziz_test::WriteFile(csv, kEarlierCsv);
  }
  void TearDown() override {
    os::failingRead = os::readsSoFar = 0;
    os::readError = EIO;
    os::noUnnamedFiles = false;
    os::created.clear();
    os::createdModes.clear();
    os::flushes.clear();
    os::beforeFileFlush = nullptr;
    os::noRandom = false;
    os::namesTaken = 0;
    os::exclusiveNames.clear();
    os::fallocateError = 0;
  }
  std::size_t CountOf(const std::string& code) const {
    const Strings codes = Codes(state.log);
    return static_cast<std::size_t>(std::count(codes.begin(), codes.end(), code));
  }

  ziz_test::TempDir dir;
  const std::string input = dir / "mov.dat";
  const std::string csv = dir / "MOV.CSV";
  ModuleState state = ziz_test::FixedClockState();
};

TEST_F(OsFailureTest, ReadErrorAmongTheRecordsKeepsTheEarlierCsv) {
  os::failingRead = 2;  // the first 64 KiB hold the header and the first records
  EXPECT_FALSE(RunConversion(state, input));
  EXPECT_EQ(CountOf("028"), 1u);
  EXPECT_GT(CountOf("007"), 100u) << "the records of the first block were converted";
  EXPECT_EQ(ReadFile(csv), kEarlierCsv);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
}

// A signal handled while the input is read interrupts the read, which is
// simply made again: the run goes on as though nothing had happened.
TEST_F(OsFailureTest, InterruptedReadIsMadeAgain) {
  os::failingRead = 2;
  os::readError = EINTR;
  EXPECT_TRUE(RunConversion(state, input));
  EXPECT_EQ(CountOf("007"), 3000u);
}

// Without unnamed files the new CSV is a hidden named file until it is
// complete; it is gone after the run whether the run succeeds or fails.
class NoUnnamedFilesTest : public OsFailureTest, public ::testing::WithParamInterface<bool> {};

TEST_P(NoUnnamedFilesTest, HiddenNamedFileLeavesNothingBehind) {
  const bool converts = GetParam();
  if (!converts) ziz_test::WriteFile(input, MovementFile("32768", {Departure()}));
  os::noUnnamedFiles = true;
  EXPECT_EQ(RunConversion(state, input), converts);
  ASSERT_FALSE(os::created.empty());
  for (const std::string& name : os::created) EXPECT_EQ(name.front(), '.') << name;
  EXPECT_EQ(ReadFile(csv) == kEarlierCsv, !converts);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
}

INSTANTIATE_TEST_SUITE_P(Runs, NoUnnamedFilesTest, ::testing::Bool(),
                         [](const auto& run) { return run.param ? "Converted" : "Failed"; });

// Anyone who may list the folder sees the hidden file; replacing a private
// CSV, it must never be open to them, not even before its mode is set.
TEST_F(OsFailureTest, HiddenNamedFileOfAPrivateCsvIsNeverOpenToOthers) {
  ::chmod(csv.c_str(), 0600);
  os::noUnnamedFiles = true;
  const mode_t umask = ::umask(0);
  const bool converted = RunConversion(state, input);
  ::umask(umask);
  ASSERT_TRUE(converted);
  ASSERT_EQ(os::createdModes.size(), 1u);
  EXPECT_EQ(os::createdModes[0] & 077, 0u);
}

// The CSV's name becomes a folder after the rows are written: the new file
// cannot take its place, and goes.
class RenameFailureTest : public OsFailureTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RenameFailureTest, CsvNameTurnedFolderLeavesNothingBehind) {
  os::noUnnamedFiles = GetParam();
  os::beforeFileFlush = [this] {
    ::unlink(csv.c_str());
    ::mkdir(csv.c_str(), 0755);
  };
  EXPECT_FALSE(RunConversion(state, input));
  EXPECT_EQ(CountOf("023"), 1u);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
}

INSTANTIATE_TEST_SUITE_P(Files, RenameFailureTest, ::testing::Bool(),
                         [](const auto& named) { return named.param ? "Named" : "Unnamed"; });

// A hidden name another user made first is passed over for a new one,
// also before the kernel's random numbers are ready, when the names come
// from the clock, the process and a counter instead.
class TakenNameTest : public OsFailureTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TakenNameTest, IsPassedOverForAnotherName) {
  os::noUnnamedFiles = true;
  os::noRandom = GetParam();
  os::namesTaken = 2;
  ASSERT_TRUE(RunConversion(state, input));
  ASSERT_EQ(os::exclusiveNames.size(), 3u);
  EXPECT_EQ(std::set<std::string>(os::exclusiveNames.begin(), os::exclusiveNames.end()).size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Random, TakenNameTest, ::testing::Bool(),
                         [](const auto& none) { return none.param ? "NotReady" : "Ready"; });

TEST_F(OsFailureTest, FullDiskBeforeAnInPlaceWriteKeepsTheEarlierCsv) {
  // The space for the rows cannot be reserved: the CSV is not touched.
  if (!ziz_test::IsRoot()) GTEST_SKIP() << "the run must be another user's, written in place";
  ::chmod(csv.c_str(), 0666);
  ::chmod(dir.path().c_str(), 0555);
  os::fallocateError = ENOSPC;
  const ziz_test::ChildRun run = ziz_test::ConvertInChild(input, ziz_test::BecomeUnprivileged);
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(ReadFile(csv), kEarlierCsv) << "status " << run.status;
}

TEST_F(OsFailureTest, CsvDataReachesTheDiskBeforeItsName) {
  ASSERT_TRUE(RunConversion(state, input));
  EXPECT_EQ(os::flushes, "FD") << "the file's data, then its folder";
}

TEST_F(OsFailureTest, IgnoredHangupStaysIgnoredThroughTheRun) {
  // A run started under nohup goes on when the terminal hangs up, even
  // while its hidden named file exists.
  ziz_test::WriteSlowMovementFile(input);
  const int status = ziz_test::InterruptMidRun(dir.path(), input, SIGHUP, [this] {
    std::signal(SIGHUP, SIG_IGN);
    CsvFile::UseNamedTemporaryFiles(true);
    ModuleState childState = ziz_test::FixedClockState();
    ::_exit(RunConversion(childState, input) ? 0 : 1);
  });
  EXPECT_EQ(status, 0);
  EXPECT_NE(ReadFile(csv), kEarlierCsv);
}

TEST(LogClockTest, TimeTextFollowsTheClockSecondBySecond) {
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
  std::setlocale(LC_ALL, "C");
  ProgressLog log;  // the local time in the locale's format
  for (const std::time_t now : {86400, 86400, 86401, 86400 + 3599}) {
    os::now = now;
    LogMessage(log, "x");
  }
  os::now = -1;
  EXPECT_EQ(log.Lines(), (Strings{"00:00:00 x", "00:00:00 x", "00:00:01 x", "00:59:59 x"}));
}

// A zone file (version 1) of one zone, UTC, named `name`.
std::string ZoneFile(const std::string& name) {
  std::string zone = "TZif" + std::string(16, '\0');
  zone += std::string(16, '\0') + std::string{0, 0, 0, 1};  // no transitions, one type
  zone += std::string{0, 0, 0, static_cast<char>(name.size() + 1)};
  return zone + std::string(6, '\0') + name + '\0';  // the type: UTC, its name
}

// The time text at 13:05:09 UTC under a locale built for the test, in a
// zone named by a zone file, which may name it anything.
struct LocaleClockCase {
  const char* name;
  const char* locale;
  const char* zoneName;
  const char* line;
};

class LocaleClockTest : public ::testing::TestWithParam<LocaleClockCase> {};

TEST_P(LocaleClockTest, TimeTextIsTheLocalesWhereTheLogCanShowIt) {
  const ziz_test::TempDir dir;
  const std::string build = std::string("localedef -i ") + GetParam().locale + " -f UTF-8 '" +
                            (dir / "xx_XX") + "' 2>/dev/null";
  if (std::system(build.c_str()) != 0) GTEST_SKIP() << "localedef cannot build the locale here";
  ziz_test::WriteFile(dir / "zone", ZoneFile(GetParam().zoneName));
  ::setenv("TZ", (":" + (dir / "zone")).c_str(), 1);
  ::tzset();
  ::setenv("LOCPATH", dir.path().c_str(), 1);
  ASSERT_NE(std::setlocale(LC_ALL, "xx_XX"), nullptr);
  ProgressLog log;
  os::now = 86400 + 13 * 3600 + 5 * 60 + 9;
  LogMessage(log, "x");
  os::now = -1;
  std::setlocale(LC_ALL, "C");
  ::unsetenv("LOCPATH");
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
  EXPECT_EQ(log.Line(0), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleClockTest,
                         ::testing::Values(
                             // A twelve-hour clock, unlike the C locale's.
                             LocaleClockCase{"TwelveHourClock", "en_US", "UTC", "01:05:09 PM x"},
                             // hi_IN's time of day ends with the zone's name: here a line feed
                             // and a terminal's escape sequence.
                             LocaleClockCase{"ZoneNameBreakingTheLine", "hi_IN", "A\n\033]0;B\a",
                                             "13:05:09 x"}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace ravuvur
