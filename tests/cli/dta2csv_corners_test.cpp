// dta2csv's less travelled arguments and outputs.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace {

// Runs `arguments` (already quoted for the shell) through dta2csv in
// `dir`, its output redirected as `redirect` says, started by `starter`
// (a command that runs the rest of its line); the exit status.
int Dta2csvStatus(const ziz_test::TempDir& dir, const std::string& arguments,
                  const std::string& redirect, const std::string& starter = "") {
  const std::string command = "cd '" + dir.path() + "' && LC_ALL=C " + starter +
                              "'" DTA2CSV_PATH "' " + arguments + " " + redirect;
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Dta2csvCornersTest, LoneDashIsAFileName) {
  // Too short a name to give a CSV one, but a file all the same: the run
  // opens it and fails on the name, not on the command line.
  const ziz_test::TempDir dir;
  ziz_test::WriteFile(dir / "-", ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  EXPECT_EQ(Dta2csvStatus(dir, "-", "> log 2>&1"), 1);
  const std::string log = ziz_test::ReadFile(dir / "log");
  EXPECT_NE(log.find(" 022 "), std::string::npos) << log;
  EXPECT_EQ(log.find(" 021 "), std::string::npos) << log;
}

TEST(Dta2csvCornersTest, NonBlockingOutputSlowerThanTheLogLosesNothing) {
  // Another program on the same pipe may have made it non-blocking; a
  // reader that falls behind only makes dta2csv wait.
  const ziz_test::TempDir dir;
  constexpr int kRecords = 5000;  // a log well past the pipe's 64 KiB
  ziz_test::WriteFile(dir / "big.dat", ziz_test::MovementFile(
                                           "05000", std::vector(kRecords, ziz_test::Departure())));
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[0]);
    ::close(fds[1]);
    ::execl(DTA2CSV_PATH, "dta2csv", (dir / "big.dat").c_str(), nullptr);
    ::_exit(127);
  }
  ::close(fds[1]);
  ::usleep(200000);  // the pipe fills meanwhile
  ::fcntl(fds[0], F_SETFL, 0);
  std::string log;
  char chunk[65536];
  for (ssize_t n; (n = ::read(fds[0], chunk, sizeof chunk)) > 0;) {
    log.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), kRecords + 18);
  EXPECT_EQ(ziz_test::WaitFor(child), 0);
}

class Dta2csvFullOutputTest : public ::testing::TestWithParam<const char*> {};

TEST_P(Dta2csvFullOutputTest, TextThatCannotBeWrittenExitsThreeSayingWhy) {
  const ziz_test::TempDir dir;
  EXPECT_EQ(Dta2csvStatus(dir, GetParam(), ">/dev/full 2>err"), 3);
  EXPECT_EQ(ziz_test::ReadFile(dir / "err"), "dta2csv: cannot write: No space left on device\n");
}

INSTANTIATE_TEST_SUITE_P(Options, Dta2csvFullOutputTest, ::testing::Values("--help", "--version"),
                         [](const auto& option) { return std::string(option.param + 2); });

// Where the options end and the file names begin: the first "--" ends the
// options, and "/?" is a path here.
struct ArgumentsRow {
  const char* what;
  const char* arguments;  // quoted for the shell
  int status;
  const char* said;  // a line that standard output or error holds
};

class Dta2csvArgumentsTest : public ::testing::TestWithParam<ArgumentsRow> {};

TEST_P(Dta2csvArgumentsTest, TellsOptionsFromFileNames) {
  const ziz_test::TempDir dir;
  EXPECT_EQ(Dta2csvStatus(dir, GetParam().arguments, "> out 2>&1"), GetParam().status);
  const std::string out = ziz_test::ReadFile(dir / "out");
  EXPECT_NE(out.find(GetParam().said), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, Dta2csvArgumentsTest,
    ::testing::Values(
        ArgumentsRow{"SecondDoubleDash", "-- --", 1,
                     " 021 ERRO ao abrir o arquivo de entrada: --\n"},
        ArgumentsRow{"HelpAfterDoubleDash", "-- --help", 1, "entrada: --help\n"},
        ArgumentsRow{"VersionAfterDoubleDash", "-- --version", 1, "entrada: --version\n"},
        ArgumentsRow{"SlashQuestion", "'/?'", 1, " 021 ERRO ao abrir o arquivo de entrada: /?\n"},
        ArgumentsRow{"OptionAfterAName", "x.dat --version", 0, "dta2csv 0.9\n"},
        ArgumentsRow{"JobsPastAnyNumberMeanNoLimit", "-j 99999999999999999999999 x.dat", 1,
                     " 021 ERRO ao abrir o arquivo de entrada: x.dat\n"},
        ArgumentsRow{"UnknownOption", "--bogus", 2, "dta2csv: unknown option '--bogus'\n"},
        ArgumentsRow{"NoFile", "", 2, "dta2csv: no FILE given\n"}),
    [](const auto& row) { return std::string(row.param.what); });

TEST(Dta2csvCornersTest, UsageNamesEveryOption) {
  const ziz_test::TempDir dir;
  ASSERT_EQ(Dta2csvStatus(dir, "--help", "> out"), 0);
  const std::string usage = ziz_test::ReadFile(dir / "out");
  for (const char* option : {"[--] FILE...", "--help", "--version"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

TEST(Dta2csvCornersTest, CsvNameOnStandardErrorIsShownEscaped) {
  const ziz_test::TempDir dir;
  ziz_test::WriteFile(dir / "a\nb.dat", ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  ziz_test::MakeFolder(dir / "A\nB.CSV");
  EXPECT_EQ(Dta2csvStatus(dir, "'a\nb.dat'", ">/dev/null 2>err"), 1);
  EXPECT_EQ(ziz_test::ReadFile(dir / "err"), "dta2csv: 'A'$'\\n''B.CSV': Is a directory\n");
}

// However short memory is, a run that says it ran out of memory says it
// failed: the four long names need memory before any run begins.
class Dta2csvOutOfMemoryTest : public ::testing::TestWithParam<const char*> {};

TEST_P(Dta2csvOutOfMemoryTest, SaysSoWithStatusOne) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit a memory limit";
#endif
  const ziz_test::TempDir dir;
  ziz_test::WriteFile(dir / "a.dat", ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  std::vector<int> statuses;  // of the runs that said so
  // From where the loader itself fails to where the program has memory
  // to spare, whatever the build's size.
  for (int kib = 2000; kib <= 9000; kib += 100) {
    const std::string limited =
        "sh -c 'ulimit -v " + std::to_string(kib) + " && exec \"$0\" \"$@\"' ";
    const int status = Dta2csvStatus(dir, GetParam(), "2>err >/dev/null", limited);
    if (ziz_test::ReadFile(dir / "err").find("out of memory") != std::string::npos) {
      statuses.push_back(status);
    }
  }
  ASSERT_FALSE(statuses.empty()) << "no limit ran out of memory";
  EXPECT_EQ(statuses, std::vector<int>(statuses.size(), 1));
}

INSTANTIATE_TEST_SUITE_P(Arguments, Dta2csvOutOfMemoryTest,
                         ::testing::Values("a.dat", "$(printf '%0100000d ' 0 0 0 0)"));

// Whether process `pid` holds `path` open.
bool HoldsOpen(pid_t pid, const std::string& path) {
  std::error_code error;
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  for (const auto& entry : std::filesystem::directory_iterator(fds, error)) {
    if (std::filesystem::read_symlink(entry.path(), error) == path) return true;
  }
  return false;
}

// Where descriptor `fd`, closed by the caller, points while dta2csv
// converts a file, and how it is open: "/dev/null r" or "/dev/null w".
std::string ClosedDescriptorDuringARun(const ziz_test::TempDir& dir, int fd) {
  ziz_test::WriteSlowMovementFile(dir / "slow.dat");
  const pid_t child = ::fork();
  if (child == 0) {
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(quiet, STDOUT_FILENO);
    ::dup2(quiet, STDERR_FILENO);
    ::close(quiet);
    ::close(fd);
    ::execl(DTA2CSV_PATH, "dta2csv", (dir / "slow.dat").c_str(), nullptr);
    ::_exit(127);
  }
  // Once the run has its input open, the start of the program is over.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!HoldsOpen(child, dir / "slow.dat") && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const std::string proc = "/proc/" + std::to_string(child);
  std::error_code error;
  std::string where = std::filesystem::read_symlink(proc + "/fd/" + std::to_string(fd), error);
  const std::string info = ziz_test::ReadFile(proc + "/fdinfo/" + std::to_string(fd));
  const std::size_t flags = info.find("flags:");
  if (flags != std::string::npos) {
    const unsigned long mode = std::stoul(info.substr(flags + 6), nullptr, 8) & O_ACCMODE;
    where += mode == O_RDONLY ? " r" : mode == O_WRONLY ? " w" : " rw";
  }
  ::kill(child, SIGKILL);
  ziz_test::WaitFor(child);
  return where;
}

class Dta2csvClosedDescriptorTest : public ::testing::TestWithParam<int> {};

TEST_P(Dta2csvClosedDescriptorTest, IsOpenedOnDevNullBeforeTheRun) {
  const ziz_test::TempDir dir;
  EXPECT_EQ(ClosedDescriptorDuringARun(dir, GetParam()),
            GetParam() == STDIN_FILENO ? "/dev/null r" : "/dev/null w");
}

INSTANTIATE_TEST_SUITE_P(Descriptors, Dta2csvClosedDescriptorTest,
                         ::testing::Values(STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO));

}  // namespace
