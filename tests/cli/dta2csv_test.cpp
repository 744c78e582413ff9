#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <regex>

#include "tests/support/test_files.h"

namespace {

using ziz_test::Departure;
using ziz_test::MovementFile;

struct Result {
  int status = -1;
  std::string out;  // standard output and standard error, as the shell sees them
};

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs dta2csv in `dir` with `args`, under the C locale unless `env` says
// otherwise; `streams` picks what is captured ("2>/dev/null" keeps stdout).
Result RunDta2csv(const std::string& dir, const std::vector<std::string>& args,
                  const std::string& streams = "2>&1", const std::string& env = "LC_ALL=C") {
  std::string command = "cd " + Quote(dir) + " && env " + env + " " + Quote(DTA2CSV_PATH);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " " + streams;
  Result result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::size_t LineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class Dta2csvTest : public ::testing::Test {
 protected:
  ziz_test::TempDir dir;
};

TEST_F(Dta2csvTest, ConvertsEachFileAndPrintsItsLog) {
  ziz_test::WriteFile(dir / "a.dat", MovementFile("00002", {Departure(), Departure()}));
  ziz_test::WriteFile(dir / "b.dat", MovementFile("00001", {Departure()}));
  const Result r = RunDta2csv(dir.path(), {"a.dat", "b.dat"}, "2>/dev/null");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(LineCount(r.out), (2u + 18u) + (1u + 18u));
  EXPECT_TRUE(ziz_test::Exists(dir / "A.CSV"));
  EXPECT_TRUE(ziz_test::Exists(dir / "B.CSV"));
  // Time text, a space, the message; HH:MM:SS under the C locale.
  EXPECT_TRUE(
      std::regex_search(r.out, std::regex(R"(^\d\d:\d\d:\d\d 000 Iniciando a conversão\n)")));
  EXPECT_NE(r.out.find(" 009 Criado o Arquivo B.CSV\n"), std::string::npos);
}

TEST_F(Dta2csvTest, ExitsOneWhenAnyFileIsNotConverted) {
  ziz_test::WriteFile(dir / "a.dat", MovementFile("00001", {Departure()}));
  const Result r = RunDta2csv(dir.path(), {"missing.dat", "a.dat"}, "2>/dev/null");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(" 021 ERRO ao abrir o arquivo de entrada: missing.dat\n"),
            std::string::npos);
  EXPECT_TRUE(ziz_test::Exists(dir / "A.CSV")) << "later files are still converted";
}

TEST_F(Dta2csvTest, EmptyArgumentIsTheEmptyPathRun) {
  const Result r = RunDta2csv(dir.path(), {""}, "2>/dev/null");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(LineCount(r.out), 3u);
  EXPECT_NE(r.out.find(" 010 ARQUIVO DTA NÃO INFORMADO\n"), std::string::npos);
}

TEST_F(Dta2csvTest, UsageErrorsExitTwoWithUsageOnStandardError) {
  for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{"--bogus", "a.dat"},
                           std::vector<std::string>{"-x"}}) {
    const Result err = RunDta2csv(dir.path(), args, "2>&1 >/dev/null");
    EXPECT_EQ(err.status, 2);
    EXPECT_NE(err.out.find("Usage: dta2csv"), std::string::npos);
    EXPECT_EQ(RunDta2csv(dir.path(), args, "2>/dev/null").out, "") << "nothing on standard output";
  }
  EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(Dta2csvTest, HelpAndVersion) {
  const Result help = RunDta2csv(dir.path(), {"--help"}, "2>/dev/null");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: dta2csv"), std::string::npos);
  const Result version = RunDta2csv(dir.path(), {"--version"}, "2>/dev/null");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "dta2csv 0.9\n");
}

TEST_F(Dta2csvTest, DoubleDashAllowsNamesThatLookLikeOptions) {
  ziz_test::WriteFile(dir / "-x.dat", MovementFile("00001", {Departure()}));
  const Result r = RunDta2csv(dir.path(), {"--", "-x.dat"}, "2>/dev/null");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(ziz_test::Exists(dir / "-X.CSV"));
}

TEST_F(Dta2csvTest, TimeTextFollowsTheLocale) {
  // en_US gives a 12-hour clock where the locale is installed; the C locale
  // is the fallback, so accept either but require the C form without it.
  const Result c = RunDta2csv(dir.path(), {""}, "2>/dev/null", "LC_ALL=C LC_TIME=C");
  EXPECT_TRUE(std::regex_search(c.out, std::regex(R"(^\d\d:\d\d:\d\d 000)")));
  const Result us = RunDta2csv(dir.path(), {""}, "2>/dev/null", "LC_ALL=en_US.UTF-8");
  EXPECT_TRUE(
      std::regex_search(us.out, std::regex(R"(^(\d\d:\d\d:\d\d|\d\d:\d\d:\d\d [AP]M) 000)")))
      << us.out;
}

}  // namespace
