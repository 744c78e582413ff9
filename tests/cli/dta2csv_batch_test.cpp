// dta2csv converting many files at once: logs whole and in order, one CSV
// for one input, bounds, and signals in the middle of a batch.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <ostream>
#include <thread>

#include "tests/cli/run_dta2csv.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace {

using ziz_test::Departure;
using ziz_test::MovementFile;
using ziz_test::RunDta2csv;
using Strings = std::vector<std::string>;

// A small day of `records` departures, each for a destination of its own
// name, so that every CSV tells which input it came from.
std::string SmallDay(const std::string& destination, int records = 2) {
  char count[8];
  std::snprintf(count, sizeof count, "%05d", records);
  return MovementFile(count,
                      std::vector(static_cast<std::size_t>(records), Departure(destination)));
}

// The log's runs, each as the input its 004 line names and its messages.
struct LoggedRun {
  std::string input;
  Strings messages;
};
std::vector<LoggedRun> RunsOf(const std::string& log) {
  std::vector<LoggedRun> runs;
  for (const std::string& message : ziz_test::LogMessages(log)) {
    if (message.starts_with("000 ")) runs.emplace_back();
    if (runs.empty()) return {};  // a line before any run
    if (message.starts_with("004 Movimento: ")) runs.back().input = message.substr(15);
    runs.back().messages.push_back(message);
  }
  return runs;
}

class Dta2csvBatchTest : public ::testing::Test {
 protected:
  // Writes a small day per name; the CSV each should get is CsvOf(name).
  void WriteDays(const Strings& names) {
    for (const std::string& name : names) ziz_test::WriteFile(dir / name, SmallDay(name));
  }
  std::string CsvOf(const std::string& name) {
    const ziz_test::TempDir reference;
    ziz_test::WriteFile(reference / "x.dat", SmallDay(name));
    RunDta2csv(reference.path(), {"x.dat"});
    return ziz_test::ReadFile(reference / "X.CSV");
  }

  ziz_test::TempDir dir;
};

TEST_F(Dta2csvBatchTest, LogsComeWholeAndInOrderWhenRunsEndOutOfOrder) {
  // The first file takes long (a line of 1 GiB to read through); the others
  // end long before it, and wait for it to be printed.
  ziz_test::WriteSlowMovementFile(dir / "slow.dat");
  const Strings quick = {"q1.dat", "q2.dat", "q3.dat", "q4.dat"};
  WriteDays(quick);
  const ziz_test::TempDir logs;
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(::open((logs / "log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    ::chdir(dir.path().c_str());
    ::execl(DTA2CSV_PATH, "dta2csv", "slow.dat", "q1.dat", "q2.dat", "q3.dat", "q4.dat", nullptr);
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  const auto quickDone = [&] {
    return ziz_test::Exists(dir / "Q1.CSV") && ziz_test::Exists(dir / "Q2.CSV") &&
           ziz_test::Exists(dir / "Q3.CSV") && ziz_test::Exists(dir / "Q4.CSV");
  };
  while (!quickDone() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const bool slowStillRunning = !ziz_test::Exists(dir / "SLOW.CSV");
  EXPECT_EQ(ziz_test::WaitFor(child), 0);
  ASSERT_TRUE(quickDone() && slowStillRunning) << "the quick files did not end first";

  const std::vector<LoggedRun> runs = RunsOf(ziz_test::ReadFile(logs / "log"));
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0].input, "slow.dat");
  for (std::size_t k = 0; k < quick.size(); ++k) {
    EXPECT_EQ(runs[k + 1].input, quick[k]);
    EXPECT_EQ(runs[k + 1].messages.size(), 2u + 18u) << quick[k] << "'s log, whole";
    EXPECT_EQ(ziz_test::ReadFile(dir / ("Q" + std::to_string(k + 1) + ".CSV")), CsvOf(quick[k]));
  }
}

// Two inputs of one call that would write one CSV: the later is refused
// with 030, naming the earlier, and the CSV holds the earlier one's rows.
struct Collision {
  const char* name;
  Strings args;                                           // the two inputs, in order
  std::string csv;                                        // the CSV both would write
  std::string earlier;                                    // whose rows it must hold
  std::function<void(const ziz_test::TempDir&)> prepare;  // besides a day per input name
};

void PrintTo(const Collision& collision, std::ostream* out) { *out << collision.name; }

class CollisionTest : public Dta2csvBatchTest, public ::testing::WithParamInterface<Collision> {};

TEST_P(CollisionTest, LaterInputIsRefusedAndTheCsvKeepsTheEarlierRows) {
  const Collision& c = GetParam();
  if (c.prepare) c.prepare(dir);
  for (const std::string& input : c.args) {
    if (!ziz_test::Exists(dir / input)) ziz_test::WriteFile(dir / input, SmallDay(input));
  }
  const std::string earlierRows = CsvOf(c.earlier);
  const auto r = RunDta2csv(dir.path(), c.args, "2>/dev/null");
  EXPECT_EQ(r.status, 1);
  const std::vector<LoggedRun> runs = RunsOf(r.out);
  ASSERT_EQ(runs.size(), 2u) << r.out;
  EXPECT_EQ(runs[0].messages[11].substr(0, 4), "009 ") << "the earlier input is converted";
  EXPECT_EQ(runs[1].messages[3],
            "030 ERRO: o arquivo de saida já pertence ao arquivo de entrada: " + c.args[0]);
  EXPECT_EQ(runs[1].messages[runs[1].messages.size() - 9], "011 CONVERSÃO NÃO REALIZADA");
  EXPECT_EQ(ziz_test::ReadFile(dir / c.csv), earlierRows);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CollisionTest,
    ::testing::Values(
        Collision{"LetterCase", {"a.dat", "A.DAT"}, "A.CSV", "a.dat", {}},
        // U+00B5 MICRO SIGN upper-cases to U+039C GREEK CAPITAL LETTER MU.
        Collision{"UnicodeCase", {"\u00b5.dat", "\u039c.DAT"}, "\u039c.CSV", "\u00b5.dat", {}},
        Collision{"SameNameTwice", {"a.dat", "a.dat"}, "A.CSV", "a.dat", {}},
        Collision{"ThroughAFolderLink",
                  {"link/a.dat", "a.dat"},
                  "A.CSV",
                  "link/a.dat",
                  [](const ziz_test::TempDir& d) { ::symlink(".", (d / "link").c_str()); }},
        Collision{"CsvLinkedToTheOther",
                  {"a.dat", "sub/b.dat"},
                  "A.CSV",
                  "a.dat",
                  [](const ziz_test::TempDir& d) {
                    ziz_test::MakeFolder(d / "sub");
                    ::symlink("../A.CSV", (d / "sub/B.CSV").c_str());
                  }},
        Collision{"CsvWithTwoNames",
                  {"a.dat", "b.dat"},
                  "A.CSV",
                  "a.dat",
                  [](const ziz_test::TempDir& d) {
                    ziz_test::WriteFile(d / "A.CSV", ziz_test::kEarlierCsv);
                    ::link((d / "A.CSV").c_str(), (d / "B.CSV").c_str());
                  }}),
    [](const auto& collision) { return std::string(collision.param.name); });

TEST_F(Dta2csvBatchTest, EarlierInputWinsWithManyRunsInFlight) {
  // Forty pairs, each later one the earlier one's name in another case,
  // all in flight together: every earlier input keeps its CSV.
  Strings args;
  for (int k = 0; k < 40; ++k) {
    const std::string name = "m" + std::to_string(k) + ".dat";
    args.push_back(name);
    args.push_back("M" + std::to_string(k) + ".DAT");
  }
  WriteDays(args);
  const auto r = RunDta2csv(dir.path(), args, "2>/dev/null");
  EXPECT_EQ(r.status, 1);
  const std::vector<LoggedRun> runs = RunsOf(r.out);
  ASSERT_EQ(runs.size(), args.size());
  for (std::size_t k = 0; k < args.size(); k += 2) {
    EXPECT_EQ(runs[k].input, args[k]);
    EXPECT_EQ(runs[k + 1].messages[3].substr(0, 4), "030 ") << args[k + 1];
    EXPECT_EQ(ziz_test::ReadFile(dir / ("M" + std::to_string(k / 2) + ".CSV")), CsvOf(args[k]));
  }
}

TEST_F(Dta2csvBatchTest, FilesThatFailLeaveTheOthersConverted) {
  ziz_test::WriteFile(dir / "big.dat", MovementFile("99999", {Departure()}));  // 026
  ziz_test::WriteFile(dir / "C.CSV", ziz_test::kEarlierCsv);
  WriteDays({"a.dat", "c.dat", "e.dat"});
  const auto r =
      RunDta2csv(dir.path(), {"a.dat", "big.dat", "missing.dat", "c.dat", "e.dat"}, "2>/dev/null");
  EXPECT_EQ(r.status, 1);
  const std::vector<LoggedRun> runs = RunsOf(r.out);
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[1].messages[8].substr(0, 4), "026 ");
  EXPECT_EQ(runs[2].messages[2].substr(0, 4), "021 ");
  EXPECT_EQ(dir.Entries(),
            (Strings{"A.CSV", "C.CSV", "E.CSV", "a.dat", "big.dat", "c.dat", "e.dat"}));
  for (const char* name : {"a.dat", "c.dat", "e.dat"}) {
    std::string csv = std::string(1, static_cast<char>(std::toupper(name[0]))) + ".CSV";
    EXPECT_EQ(ziz_test::ReadFile(dir / csv), CsvOf(name)) << csv;
  }
}

TEST_F(Dta2csvBatchTest, OneJobGivesTheSameLogAsMany) {
  WriteDays({"a.dat", "b.dat", "c.dat"});
  ziz_test::WriteFile(dir / "d.dat", MovementFile("00003", {Departure()}));  // 027
  const Strings files = {"a.dat", "missing.dat", "b.dat", "a.dat", "d.dat", "c.dat"};
  Strings oneJob = {"-j", "1"};
  oneJob.insert(oneJob.end(), files.begin(), files.end());
  const auto one = RunDta2csv(dir.path(), oneJob);
  const auto many = RunDta2csv(dir.path(), files);
  EXPECT_EQ(one.status, 1);
  EXPECT_EQ(many.status, 1);
  EXPECT_EQ(ziz_test::LogMessages(one.out), ziz_test::LogMessages(many.out));
  EXPECT_EQ(RunsOf(many.out).size(), files.size());
}

TEST_F(Dta2csvBatchTest, DescriptorLimitBelowTheBatchStillConvertsEveryFile) {
  // Room for two runs' files at most, however many are asked for: the batch
  // must fit in it.
  Strings args = {"-j", "64"};
  for (int k = 0; k < 50; ++k) args.push_back("f" + std::to_string(k) + ".dat");
  WriteDays({args.begin() + 2, args.end()});
  const auto r = RunDta2csv(dir.path(), args, "2>&1 >/dev/null",
                            "LC_ALL=C sh -c 'ulimit -n 40 && exec \"$0\" \"$@\"'");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(dir.Entries().size(), 100u);
}

TEST_F(Dta2csvBatchTest, LostLogStartsNoFurtherFile) {
  Strings args;
  for (int k = 0; k < 300; ++k) args.push_back("f" + std::to_string(k) + ".dat");
  WriteDays(args);
  const auto r = RunDta2csv(dir.path(), args, "2>&1 >/dev/full");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "dta2csv: cannot write the log: No space left on device\n");
  EXPECT_LT(dir.Entries().size(), 2 * args.size()) << "only the runs in flight are converted";
}

// A signal or a kill in the middle of a batch, once the runs around a slow
// one have put their CSVs in place: every CSV is the earlier one or the
// whole new one, and nothing else is left.
class KilledBatchTest : public Dta2csvBatchTest, public ::testing::WithParamInterface<int> {};

TEST_P(KilledBatchTest, LeavesEveryCsvOldOrNewAndNothingElse) {
  Strings args = {"a.dat", "b.dat", "c.dat", "s.dat", "d.dat", "e.dat", "f.dat"};
  WriteDays({"a.dat", "b.dat", "c.dat", "d.dat", "e.dat", "f.dat"});
  ziz_test::WriteSlowMovementFile(dir / "s.dat");
  for (const char* csv : {"A.CSV", "C.CSV", "E.CSV", "F.CSV", "S.CSV"}) {
    ziz_test::WriteFile(dir / csv, ziz_test::kEarlierCsv);
  }
  const auto othersInPlace = [&] {
    for (const char* csv : {"A.CSV", "B.CSV", "C.CSV", "D.CSV", "E.CSV", "F.CSV"}) {
      if (!ziz_test::Exists(dir / csv) || ziz_test::ReadFile(dir / csv) == ziz_test::kEarlierCsv) {
        return false;
      }
    }
    return true;
  };
  const ziz_test::TempDir logs;
  const int status = ziz_test::InterruptMidRun(
      dir.path(), dir / "s.dat", GetParam(),
      [&] {
        ::dup2(::open((logs / "log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
        ::chdir(dir.path().c_str());
        std::vector<char*> argv = {const_cast<char*>(DTA2CSV_PATH)};
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(DTA2CSV_PATH, argv.data());
      },
      othersInPlace);
  EXPECT_EQ(status, 128 + GetParam());
  for (const char* name : {"a.dat", "b.dat", "c.dat", "d.dat", "e.dat", "f.dat"}) {
    const std::string csv = std::string(1, static_cast<char>(std::toupper(name[0]))) + ".CSV";
    EXPECT_EQ(ziz_test::ReadFile(dir / csv), CsvOf(name)) << csv;
  }
  EXPECT_EQ(ziz_test::ReadFile(dir / "S.CSV"), ziz_test::kEarlierCsv);
  EXPECT_EQ(dir.Entries().size(), 7u + 7u) << "no hidden file left";
}

INSTANTIATE_TEST_SUITE_P(Signals, KilledBatchTest, ::testing::Values(SIGTERM, SIGKILL),
                         ziz_test::SignalName);

}  // namespace
