// dta2csv's less travelled arguments and outputs.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace {

// Runs `arguments` (already quoted for the shell) through dta2csv in
// `dir`, its output redirected as `redirect` says; the exit status.
int Dta2csvStatus(const ziz_test::TempDir& dir, const std::string& arguments,
                  const std::string& redirect) {
  const std::string command =
      "cd '" + dir.path() + "' && LC_ALL=C '" DTA2CSV_PATH "' " + arguments + " " + redirect;
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

}  // namespace
