// What a run does when something goes wrong: the log says what happened,
// the run still ends with its statistics, and no CSV is lost or left half
// written. Each case holds exactly one fault. Tests run as root in CI, so
// what only an ordinary user is refused runs in a child process that has
// become the user nobody; a write is made to fail by a file-size limit.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "conversion/run_conversion.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

using ziz_test::Arrival;
using ziz_test::Codes;
using ziz_test::Departure;
using ziz_test::Messages;
using ziz_test::MovementFile;
using Strings = std::vector<std::string>;

using ziz_test::kEarlierCsv;

bool Contains(const Strings& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class RunFailureTest : public ::testing::Test {
 protected:
  Strings Log() const { return Messages(state.log); }
  // The run's ending: 011 with no 009, the statistics still there.
  void ExpectNotConverted() const {
    const Strings codes = Codes(state.log);
    EXPECT_TRUE(Contains(codes, "011"));
    EXPECT_FALSE(Contains(codes, "008"));
    EXPECT_FALSE(Contains(codes, "009"));
    ASSERT_GE(codes.size(), 8u);
    EXPECT_EQ(Strings(codes.end() - 8, codes.end()),
              (Strings{"013", "014", "015", "019", "016", "018", "020", "017"}));
  }

  ziz_test::TempDir dir;
  ModuleState state = ziz_test::FixedClockState();
};

TEST_F(RunFailureTest, InputThatCannotBeOpenedCreatesNoCsv) {
  ::mkdir((dir / "folder.dat").c_str(), 0755);
  ASSERT_EQ(::mkfifo((dir / "pipe.dat").c_str(), 0600), 0);
  ziz_test::WriteFile(dir / "MISSING.CSV", kEarlierCsv);
  for (const char* name : {"missing.dat", "folder.dat", "pipe.dat"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(RunConversion(state, dir / name));
    const Strings log = Log();
    EXPECT_EQ(log[2], "021 ERRO ao abrir o arquivo de entrada: " + dir / name);
    EXPECT_EQ(log[3].substr(0, 4), "012 ");
    EXPECT_TRUE(Contains(log, "003 Estacao: "));
    EXPECT_TRUE(Contains(log, "017 Total Registros: "));
    ExpectNotConverted();
  }
  EXPECT_EQ(ziz_test::ReadFile(dir / "MISSING.CSV"), kEarlierCsv);
  EXPECT_EQ(dir.Entries(), (Strings{"MISSING.CSV", "folder.dat", "pipe.dat"}));
}

TEST_F(RunFailureTest, InputGoneOrReplacedByAFolderBeforeTheRun) {
  // The window takes the path when the file is clicked and converts later.
  const std::string chosen = dir / "mov.dat";
  ziz_test::WriteFile(chosen, MovementFile("00001", {Departure()}));
  ::unlink(chosen.c_str());
  EXPECT_FALSE(RunConversion(state, chosen));
  EXPECT_EQ(Log()[2], "021 ERRO ao abrir o arquivo de entrada: " + chosen);
  ::mkdir(chosen.c_str(), 0755);
  EXPECT_FALSE(RunConversion(state, chosen));
  EXPECT_EQ(Log()[2], "021 ERRO ao abrir o arquivo de entrada: " + chosen);
  EXPECT_EQ(dir.Entries(), Strings{"mov.dat"});
}

TEST_F(RunFailureTest, DeviceInputIsRefused) {
  EXPECT_FALSE(RunConversion(state, "/dev/null"));
  EXPECT_EQ(Log()[2], "021 ERRO ao abrir o arquivo de entrada: /dev/null");
}

TEST_F(RunFailureTest, UnreadableInputIsRefused) {
  ::chmod(dir.path().c_str(), 0755);
  ziz_test::WriteFile(dir / "locked.dat", MovementFile("00001", {Departure()}));
  ::chmod((dir / "locked.dat").c_str(), 0);
  const ziz_test::ChildRun run =
      ziz_test::ConvertInChild(dir / "locked.dat", ziz_test::BecomeUnprivileged);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.messages.at(2), "021 ERRO ao abrir o arquivo de entrada: " + dir / "locked.dat");
}

TEST_F(RunFailureTest, PathTooShortToDeriveAnOutput) {
  // "abc" is a good movement file in the working folder: only its name is
  // too short.
  ziz_test::WriteFile(dir / "abc", MovementFile("00001", {Departure()}));
  const ziz_test::WorkingFolder here(dir.path());
  EXPECT_FALSE(RunConversion(state, "abc"));
  const Strings log = Log();
  EXPECT_EQ(log[2], "022 ERRO ao derivar o nome do arquivo de saida");
  EXPECT_EQ(log[3], "012 Arquivo de saida CSV: ");
  ExpectNotConverted();
  EXPECT_EQ(dir.Entries(), Strings{"abc"});
}

TEST_F(RunFailureTest, OutputInAMissingFolderOrNamedLikeAFolder) {
  // The name part is upper-cased; a folder of that name blocks the CSV.
  ziz_test::WriteFile(dir / "blocked.dat", MovementFile("00002", {Departure(), Arrival()}));
  ::mkdir((dir / "BLOCKED.CSV").c_str(), 0755);
  EXPECT_FALSE(RunConversion(state, dir / "blocked.dat"));
  const Strings log = Log();
  EXPECT_EQ(log[3], "023 ERRO ao criar o arquivo de saida: " + dir / "BLOCKED.CSV");
  EXPECT_EQ(state.tallies.totalDepArr, 2);  // records are still read and counted
  EXPECT_TRUE(Contains(log, "007 2 de 00002"));
  ExpectNotConverted();
  EXPECT_EQ(dir.Entries(), (Strings{"BLOCKED.CSV", "blocked.dat"}));
}

TEST_F(RunFailureTest, ExistingCsvThatCannotBeWritten) {
  // The folder is anyone's to write in; only the CSV is read-only.
  ::chmod(dir.path().c_str(), 0777);
  ziz_test::WriteFile(dir / "mov.dat", MovementFile("00001", {Departure()}));
  ziz_test::WriteFile(dir / "MOV.CSV", kEarlierCsv);
  ::chmod((dir / "MOV.CSV").c_str(), 0444);
  const ziz_test::ChildRun run =
      ziz_test::ConvertInChild(dir / "mov.dat", ziz_test::BecomeUnprivileged);
  EXPECT_EQ(run.messages.at(3), "023 ERRO ao criar o arquivo de saida: " + dir / "MOV.CSV");
  EXPECT_EQ(ziz_test::ReadFile(dir / "MOV.CSV"), kEarlierCsv);
}

TEST_F(RunFailureTest, OutputThatIsTheInputItselfLeavesItIntact) {
  const std::string data = MovementFile("00001", {Departure()});
  ziz_test::WriteFile(dir / "SAME.CSV", data);  // same name
  ziz_test::WriteFile(dir / "real.dat", data);
  ASSERT_EQ(::symlink("real.dat", (dir / "LINK.CSV").c_str()), 0);  // the CSV links to the input
  ASSERT_EQ(::link((dir / "real.dat").c_str(), (dir / "hard.dat").c_str()), 0);
  ASSERT_EQ(::link((dir / "real.dat").c_str(), (dir / "HARD.CSV").c_str()), 0);

  const std::pair<std::string, std::string> cases[] = {
      {"SAME.CSV", "SAME.CSV"}, {"link.dat", "LINK.CSV"}, {"hard.dat", "HARD.CSV"}};
  ASSERT_EQ(::symlink("real.dat", (dir / "link.dat").c_str()), 0);
  for (const auto& [input, csv] : cases) {
    SCOPED_TRACE(input);
    EXPECT_FALSE(RunConversion(state, dir / input));
    EXPECT_EQ(Log()[3],
              "024 ERRO: o arquivo de saida é o próprio arquivo de entrada: " + dir / csv);
    EXPECT_EQ(state.tallies.departures, 1);
    ExpectNotConverted();
  }
  EXPECT_EQ(ziz_test::ReadFile(dir / "SAME.CSV"), data);
  EXPECT_EQ(ziz_test::ReadFile(dir / "real.dat"), data);
}

TEST_F(RunFailureTest, CountBeyondSixteenBitsProcessesNothing) {
  ziz_test::WriteFile(dir / "big.dat", MovementFile("32768", {Departure()}));
  ziz_test::WriteFile(dir / "BIG.CSV", kEarlierCsv);
  EXPECT_FALSE(RunConversion(state, dir / "big.dat"));
  const Strings log = Log();
  EXPECT_EQ(log[8], "026 ERRO: quantidade de registros fora do limite: 32768");
  EXPECT_FALSE(Contains(Codes(state.log), "007"));
  EXPECT_EQ(state.tallies.departures, 0);
  ExpectNotConverted();
  EXPECT_EQ(ziz_test::ReadFile(dir / "BIG.CSV"), kEarlierCsv);
  EXPECT_EQ(dir.Entries(), (Strings{"BIG.CSV", "big.dat"}));
}

TEST_F(RunFailureTest, ReadErrorEndsTheRunWithoutACsv) {
  // Reading this process's own memory file at offset 0 fails with an I/O
  // error, though the file opens as a regular file. Reached through a link
  // in a folder where the CSV can be made, so the read is all that fails.
  ASSERT_EQ(::symlink("/proc/self/mem", (dir / "mem.dat").c_str()), 0);
  ziz_test::WriteFile(dir / "MEM.CSV", kEarlierCsv);
  EXPECT_FALSE(RunConversion(state, dir / "mem.dat"));
  const Strings log = Log();
  EXPECT_EQ(log[3], "028 ERRO ao ler o arquivo de entrada: " + dir / "mem.dat");
  ExpectNotConverted();
  EXPECT_EQ(ziz_test::ReadFile(dir / "MEM.CSV"), kEarlierCsv);
  EXPECT_EQ(dir.Entries(), (Strings{"MEM.CSV", "mem.dat"}));
}

TEST_F(RunFailureTest, WriteThatFailsPartWayKeepsTheEarlierCsv) {
  const std::vector<ziz_test::Record> records(2000, Departure());
  ziz_test::WriteFile(dir / "mov.dat", MovementFile("02000", records));
  ziz_test::WriteFile(dir / "MOV.CSV", kEarlierCsv);

  const ziz_test::ChildRun run = ziz_test::ConvertInChild(dir / "mov.dat", [] {
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(run.status, 1) << "the size-limit signal must not kill the run";
  const Strings& log = run.messages;
  EXPECT_TRUE(Contains(log, "025 ERRO ao gravar o arquivo de saida: " + dir / "MOV.CSV"));
  EXPECT_TRUE(Contains(log, "011 CONVERSÃO NÃO REALIZADA"));
  EXPECT_FALSE(Contains(log, "009 Criado o Arquivo " + dir / "MOV.CSV"));
  EXPECT_TRUE(Contains(log, "013 Partidas.......: 2000"));
  EXPECT_EQ(ziz_test::ReadFile(dir / "MOV.CSV"), kEarlierCsv);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"})) << "no temporary file left";
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsMeasurable = false;  // the sanitizer's shadow memory counts too
#else
constexpr bool kMemoryIsMeasurable = true;
#endif

TEST_F(RunFailureTest, GigabyteLineConvertsInLittleMemory) {
  // One line of 1 GiB without a terminator: the header text, then zero
  // bytes, kept sparse so the test costs no disk.
  const std::string input = dir / "long.dat";
  ziz_test::WriteFile(input, "SBJD DTA0612 00001");
  ASSERT_EQ(::truncate(input.c_str(), off_t{1} << 30), 0);
  ziz_test::WriteFile(dir / "LONG.CSV", kEarlierCsv);

  const pid_t child = ::fork();
  if (child == 0) {
    ModuleState childState = ziz_test::FixedClockState();
    const bool ok = RunConversion(childState, input);
    const bool warned =
        Messages(childState.log)[8] == "027 AVISO: fim do arquivo antes do registro 1 de 00001";
    ::_exit(ok && warned ? 0 : 1);
  }
  int status = 0;
  rusage usage{};
  ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the run converts the header line and warns";
  if (kMemoryIsMeasurable) {
    EXPECT_LT(usage.ru_maxrss, 32L * 1024) << "peak resident KiB";
  }
  EXPECT_EQ(ziz_test::ReadFile(dir / "LONG.CSV"), "");
}

TEST_F(RunFailureTest, CsvThatIsALinkReplacesTheLinkedFile) {
  ::mkdir((dir / "shared").c_str(), 0755);
  ziz_test::WriteFile(dir / "shared/target.csv", kEarlierCsv);
  ASSERT_EQ(::symlink("shared/target.csv", (dir / "MOV.CSV").c_str()), 0);
  ziz_test::WriteFile(dir / "mov.dat", MovementFile("00001", {Departure()}));
  ASSERT_TRUE(RunConversion(state, dir / "mov.dat"));
  struct stat st {};
  ASSERT_EQ(::lstat((dir / "MOV.CSV").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_NE(ziz_test::ReadFile(dir / "shared/target.csv").find("\"DEP\""), std::string::npos);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat", "shared"}));
}

}  // namespace
}  // namespace ravuvur
