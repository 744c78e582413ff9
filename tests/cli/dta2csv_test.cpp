#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <regex>

#include "tests/cli/run_dta2csv.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace {

using ziz_test::Departure;
using ziz_test::MovementFile;
using ziz_test::Quote;
using ziz_test::RunDta2csv;
using Result = ziz_test::Dta2csvResult;

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
  using Args = std::vector<std::string>;
  for (const Args& args : {Args{}, Args{"--bogus", "a.dat"}, Args{"-x"}, Args{"-j", "0", "a.dat"},
                           Args{"-jx", "a.dat"}, Args{"-j-2", "a.dat"}, Args{"a.dat", "-j"}}) {
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

TEST_F(Dta2csvTest, LogThatCannotBeWrittenEndsWithAMessageAndStatusThree) {
  // Far more log than one buffer: the failure comes in the middle of it.
  ziz_test::WriteFile(dir / "big.dat",
                      MovementFile("05000", std::vector<ziz_test::Record>(5000, Departure())));
  const Result r = RunDta2csv(dir.path(), {"big.dat"}, "2>&1 >/dev/full");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "dta2csv: cannot write the log: No space left on device\n");
}

TEST_F(Dta2csvTest, AwkwardNamesPrintOneLineOfUtf8PerMessage) {
  // A line feed, a screen-clearing escape, a byte that is not UTF-8: each
  // message stays one line, shows them escaped, and is valid UTF-8.
  const std::string name = "a\nb\x1b[2J\xe7.dat";
  ziz_test::WriteFile(dir / name, MovementFile("00001", {Departure()}));
  const Result r = RunDta2csv(dir.path(), {name}, "2>/dev/null");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(LineCount(r.out), 1u + 18u);
  EXPECT_NE(r.out.find(" 004 Movimento: 'a'$'\\n''b'$'\\033''[2J'$'\\347''.dat'\n"),
            std::string::npos)
      << r.out;
}

TEST_F(Dta2csvTest, UnknownOptionIsShownEscaped) {
  // A globbed name that starts with '-' must not send the terminal an escape.
  const Result r = RunDta2csv(dir.path(), {"-\x1b[2Jx.dat"}, "2>&1 >/dev/null");
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "dta2csv: unknown option '-'$'\\033''[2Jx.dat'");
}

TEST_F(Dta2csvTest, CsvThatCannotBeMadeHasItsReasonOnStandardError) {
  ziz_test::WriteFile(dir / "a.dat", MovementFile("00001", {Departure()}));
  ziz_test::MakeFolder(dir / "A.CSV");
  const Result r = RunDta2csv(dir.path(), {"a.dat"}, "2>&1 >/dev/null");
  EXPECT_EQ(r.out, "dta2csv: A.CSV: Is a directory\n");
}

TEST_F(Dta2csvTest, ClosedStandardDescriptorsNeverReachTheCsv) {
  // Without its standard output the log must not land in a file of ours:
  // the CSV is reached through a link into a folder, which takes one more
  // descriptor before the new CSV's, and the log is large.
  ziz_test::MakeFolder(dir / "out");
  ASSERT_EQ(::symlink("out/BIG.CSV", (dir / "BIG.CSV").c_str()), 0);
  ziz_test::WriteFile(dir / "big.dat",
                      MovementFile("05000", std::vector<ziz_test::Record>(5000, Departure())));
  RunDta2csv(dir.path(), {"big.dat"}, "0<&- 1>&- 2>/dev/null");
  EXPECT_EQ(ziz_test::ReadFile(dir / "out/BIG.CSV").find("Iniciando"), std::string::npos);
}

// The log redirected into the CSV itself: rows written there would mix
// with the log, or the log would be lost with the file replaced. The run
// is refused (023) and writes no rows into it.
class LogIntoTheCsvTest : public Dta2csvTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LogIntoTheCsvTest, IsRefusedAndTheCsvGetsNoRows) {
  ziz_test::WriteFile(dir / "a.dat", MovementFile("00001", {Departure()}));
  ziz_test::WriteFile(dir / "A.CSV", ziz_test::kEarlierCsv);
  EXPECT_EQ(RunDta2csv(dir.path(), {"a.dat"}, GetParam()).status, 1);
  EXPECT_EQ(ziz_test::ReadFile(dir / "A.CSV").find("\"DEP\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Streams, LogIntoTheCsvTest,
                         ::testing::Values(">>A.CSV 2>/dev/null", "2>>A.CSV >/dev/null"),
                         [](const auto& redirect) {
                           return redirect.param[0] == '>' ? "StandardOutput" : "StandardError";
                         });

TEST_F(Dta2csvTest, LogPastTheFileSizeLimitEndsWithStatusThree) {
  ziz_test::WriteFile(dir / "a.dat", MovementFile("00001", {Departure()}));
  const ziz_test::TempDir logs;
  const Result r =
      RunDta2csv(dir.path(), {"a.dat", "a.dat", "a.dat"}, "2>&1 >" + Quote(logs / "log"),
                 "LC_ALL=C sh -c 'ulimit -f 1 && exec \"$0\" \"$@\"'");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "dta2csv: cannot write the log: File too large\n");
}

TEST_F(Dta2csvTest, EveryMemoryLimitGivesALineThatSaysSo) {
  // From limits where the program cannot even start to ones where it
  // converts: never an abort, never a silent failure.
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit a memory limit";
#endif
  ziz_test::WriteFile(dir / "a.dat", MovementFile("00001", {Departure()}));
  for (int kib = 1000; kib <= 6000; kib += 25) {
    const std::string limit =
        "LC_ALL=C sh -c 'ulimit -v " + std::to_string(kib) + " && exec \"$0\" \"$@\"'";
    const Result r = RunDta2csv(dir.path(), {"a.dat"}, "2>&1", limit);
    ASSERT_TRUE(r.status == 0 || (r.status > 0 && !r.out.empty())) << kib << " KiB: " << r.status;
  }
}

TEST_F(Dta2csvTest, TimeTextIsUtf8WhateverTheLocalesCharacterSet) {
  // A Korean locale in EUC-KR, built for the test: its time text has Hangul.
  const ziz_test::TempDir locales;
  const std::string build =
      "localedef -i ko_KR -f EUC-KR " + Quote(locales / "ko_KR.EUC-KR") + " >/dev/null 2>&1";
  if (std::system(build.c_str()) != 0) GTEST_SKIP() << "no localedef or no ko_KR source";
  const Result r = RunDta2csv(dir.path(), {""}, "2>/dev/null",
                              "LOCPATH=" + Quote(locales.path()) + " LC_ALL=ko_KR.EUC-KR");
  EXPECT_NE(r.out.find("\uC2DC"), std::string::npos) << r.out;  // 시, hour, in UTF-8
}

// Runs dta2csv in `dir` with `args`, its log to `logPath`, and sends it
// `signal` once the run of the last one has its new CSV open and `ready`
// (when given) holds.
int InterruptDta2csv(const ziz_test::TempDir& dir, const std::vector<std::string>& args,
                     const std::string& logPath, int signal,
                     const std::function<bool()>& ready = {}) {
  return ziz_test::InterruptMidRun(
      dir.path(), dir / args.back(), signal,
      [&] {
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(log, STDOUT_FILENO);
        std::vector<char*> argv = {const_cast<char*>(DTA2CSV_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::chdir(dir.path().c_str());
        ::execv(DTA2CSV_PATH, argv.data());
      },
      ready);
}

class InterruptedDta2csvTest : public Dta2csvTest, public ::testing::WithParamInterface<int> {};

TEST_P(InterruptedDta2csvTest, LeavesTheEarlierCsvAndNothingElse) {
  ziz_test::WriteSlowMovementFile(dir / "mov.dat");
  ziz_test::WriteFile(dir / "MOV.CSV", "\"earlier\"\r\n");
  const ziz_test::TempDir logs;
  const int status = InterruptDta2csv(dir, {"mov.dat"}, logs / "log", GetParam());
  EXPECT_EQ(status, 128 + GetParam()) << "the run ends by the signal it got";
  EXPECT_EQ(ziz_test::ReadFile(dir / "MOV.CSV"), "\"earlier\"\r\n");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"MOV.CSV", "mov.dat"}));
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptedDta2csvTest,
                         ::testing::Values(SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGKILL),
                         ziz_test::SignalName);

// A batch one file at a time (-j 1) or several at once: the log of a run
// that has ended is printed while later runs go on, and a signal does not
// take it back.
class StoppedBatchTest : public Dta2csvTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(StoppedBatchTest, KeepsTheLogsOfTheRunsItFinished) {
  const ziz_test::TempDir elsewhere;  // so that only the second run's CSV is watched for
  ziz_test::WriteFile(elsewhere / "first.dat", MovementFile("00001", {Departure()}));
  ziz_test::WriteSlowMovementFile(dir / "second.dat");
  const ziz_test::TempDir logs;
  const auto firstLogged = [&] {
    return ziz_test::ReadFile(logs / "log").find(" 017 Total Registros: 00001\n") !=
           std::string::npos;
  };
  ASSERT_EQ(InterruptDta2csv(dir, {GetParam(), elsewhere / "first.dat", "second.dat"}, logs / "log",
                             SIGTERM, firstLogged),
            128 + SIGTERM);
  const std::vector<std::string> log = ziz_test::LogMessages(ziz_test::ReadFile(logs / "log"));
  ASSERT_GE(log.size(), 19u);
  EXPECT_EQ(log[0], "000 Iniciando a conversão") << "the first run's log comes first, whole";
  EXPECT_EQ(log[18], "017 Total Registros: 00001");
}

INSTANTIATE_TEST_SUITE_P(Jobs, StoppedBatchTest, ::testing::Values("-j1", "-j2"),
                         [](const auto& jobs) { return std::string(jobs.param + 1); });

}  // namespace
