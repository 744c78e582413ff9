#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <winioctl.h>

#include <algorithm>
#include <cstdint>

#include "core/text.h"
#include "core/wide_text.h"
#include "tests/support/test_files.h"

namespace {

using ravuvur::WideFromUtf8;
using ziz_test::TempDir;
using Strings = std::vector<std::string>;

// Starts dta2csv.exe on `args` as cmd.exe would: the command line in
// UTF-16. Its output goes to `output`, an inheritable handle.
HANDLE StartDta2csv(const Strings& args, HANDLE output) {
  wchar_t self[MAX_PATH];
  std::wstring exe(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  exe.replace(exe.find_last_of(L'\\') + 1, std::wstring::npos, WideFromUtf8(DTA2CSV_FROM_TESTS));
  std::wstring commandLine = L"\"" + exe + L"\"";
  for (const std::string& arg : args) commandLine += L" \"" + WideFromUtf8(arg) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = output;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    ADD_FAILURE() << "dta2csv.exe did not start: Windows error " << GetLastError();
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

HANDLE InheritableForWriting(const std::string& path, DWORD disposition) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  return CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherited, disposition, 0, nullptr);
}

DWORD ExitCodeOf(HANDLE process) {
  WaitForSingleObject(process, INFINITE);
  DWORD code = ~0u;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

// Runs dta2csv.exe on `args` to its end, its output into the file `log`;
// returns its exit status.
DWORD RunDta2csv(const Strings& args, const std::string& log) {
  const HANDLE output = InheritableForWriting(log, CREATE_NEW);
  const HANDLE child = StartDta2csv(args, output);
  CloseHandle(output);
  return child != nullptr ? ExitCodeOf(child) : ~0u;
}

// True once `done` holds, looking every 10 ms for at most `seconds`.
template <typename Condition>
bool Within(int seconds, Condition done) {
  for (int tick = 0; tick < seconds * 100; ++tick, Sleep(10)) {
    if (done()) return true;
  }
  return done();
}

TEST(Dta2csvExeTest, TakesAccentedNamesAndLogsUtf8WhenRedirected) {
  TempDir dir;
  ziz_test::MakeFolder(dir / "Movimentação");
  std::string input = dir / "Movimentação/mov0612.dat";
  std::replace(input.begin(), input.end(), '/', '\\');
  ziz_test::WriteFile(input, ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  EXPECT_EQ(RunDta2csv({input}, dir / "log.txt"), 0u);
  const std::string log = ziz_test::ReadFile(dir / "log.txt");
  EXPECT_NE(log.find(" 001 Abrindo arquivo.....: " + ravuvur::UpperCase(input) + "\r\n"),
            std::string::npos)
      << log;
  EXPECT_TRUE(ziz_test::Exists(dir / "Movimentação/MOV0612.CSV"));
}

TEST(Dta2csvExeTest, LogLinesEndInCrLfAsTheCsvRowsDo) {
  TempDir dir;
  ziz_test::WriteFile(dir / "mov.dat", ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  ASSERT_EQ(RunDta2csv({dir / "mov.dat"}, dir / "log.txt"), 0u);
  const std::string log = ziz_test::ReadFile(dir / "log.txt");
  std::size_t crLf = 0;
  for (std::size_t at = log.find("\r\n"); at != std::string::npos; at = log.find("\r\n", at + 2)) {
    ++crLf;
  }
  EXPECT_EQ(crLf, 19u) << log;  // every line of a one-record run
}

TEST(Dta2csvExeTest, SlashQuestionMarkPrintsTheUsage) {
  TempDir dir;
  EXPECT_EQ(RunDta2csv({"/?"}, dir / "log.txt"), 0u);
  EXPECT_TRUE(ziz_test::ReadFile(dir / "log.txt").starts_with("Usage: dta2csv"))
      << ziz_test::ReadFile(dir / "log.txt");
}

// Windows shells pass patterns on: the program expands its own.
TEST(Dta2csvExeTest, WildcardsStandForTheFilesTheyMatch) {
  TempDir dir;
  for (const char* name : {"mov1.dat", "mov2.dat", "notas.txt"}) {
    ziz_test::WriteFile(dir / name, ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  }
  EXPECT_EQ(RunDta2csv({dir / "mov?.*"}, dir / "log.txt"), 0u);
  EXPECT_EQ(dir.Entries(),
            (Strings{"MOV1.CSV", "MOV2.CSV", "log.txt", "mov1.dat", "mov2.dat", "notas.txt"}));
}

TEST(Dta2csvExeTest, APatternThatMatchesNothingSaysSo) {
  TempDir dir;
  EXPECT_EQ(RunDta2csv({dir / "*.dat"}, dir / "log.txt"), 1u);
  EXPECT_EQ(ziz_test::ReadFile(dir / "log.txt"),
            "dta2csv: no file matches " + dir / "*.dat" + "\r\n");
}

// The 004 lines of a log, in order: which input each run was.
Strings InputsLogged(const std::string& log) {
  Strings inputs;
  for (std::size_t at = log.find(" 004 Movimento: "); at != std::string::npos;
       at = log.find(" 004 Movimento: ", at + 1)) {
    const std::size_t begin = at + 16;
    inputs.push_back(log.substr(begin, log.find("\r\n", begin) - begin));
  }
  return inputs;
}

TEST(Dta2csvExeTest, ABatchPrintsEachLogWholeInTheOrderOfTheFiles) {
  TempDir dir;
  Strings expected;
  for (int k = 1; k <= 6; ++k) {
    const std::string name = "mov" + std::to_string(k) + ".dat";
    ziz_test::WriteFile(
        dir / name, ziz_test::MovementFile("00002", {ziz_test::Departure(), ziz_test::Arrival()}));
    expected.push_back(dir.path() + "\\" + name);
  }
  EXPECT_EQ(RunDta2csv({dir.path() + "\\mov*.dat"}, dir / "log.txt"), 0u);
  const std::string log = ziz_test::ReadFile(dir / "log.txt");
  EXPECT_EQ(InputsLogged(log), expected);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 6 * (2 + 18));
  EXPECT_EQ(dir.Entries().size(), 6u + 6u + 1u);
}

// One file named twice in two letter cases, and by a pattern and by name:
// the later input is refused and the CSV holds the earlier one's rows.
TEST(Dta2csvExeTest, ALaterInputForTheSameCsvIsRefusedWith030) {
  TempDir dir;
  ziz_test::WriteFile(dir / "a.dat", ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  const std::string byPattern = dir.path() + "\\a.dat";  // as the pattern gives it
  struct Case {
    Strings args;
    std::string earlier;
  };
  for (const Case& c : {Case{{dir / "a.dat", dir.path() + "\\A.DAT"}, dir / "a.dat"},
                        Case{{dir.path() + "\\*.dat", dir / "a.dat"}, byPattern}}) {
    DeleteFileW(WideFromUtf8(dir / "log.txt").c_str());
    EXPECT_EQ(RunDta2csv(c.args, dir / "log.txt"), 1u);
    const std::string log = ziz_test::ReadFile(dir / "log.txt");
    EXPECT_NE(log.find(" 030 ERRO: o arquivo de saida já pertence ao arquivo de entrada: " +
                       c.earlier + "\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(InputsLogged(log).size(), 2u);
    EXPECT_NE(ziz_test::ReadFile(dir / "A.CSV").find("\"DEP\""), std::string::npos);
  }
}

// A Windows name may hold half a surrogate pair. That file is the one
// opened; U+FFFD in its place would name another. (Wine makes no such
// names, so here the named file does not exist and the run ends in 021.)
TEST(Dta2csvExeTest, ANameWithALoneSurrogateIsNotTakenForAnother) {
  TempDir dir;
  ziz_test::WriteFile(dir / "mov\uFFFD.dat",
                      ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  const std::wstring loneSurrogate = WideFromUtf8(dir.path()) + L"\\mov\xD800.dat";
  RunDta2csv({ravuvur::Utf8FromWide(loneSurrogate)}, dir / "log.txt");
  EXPECT_EQ(dir.Entries(), (Strings{"log.txt", "mov\uFFFD.dat"}));
}

TEST(Dta2csvExeTest, LowerCaseCsvInputIsRefusedWith024) {
  TempDir dir;
  ziz_test::WriteFile(dir / "mov.csv", "x");
  EXPECT_EQ(RunDta2csv({dir / "mov.csv"}, dir / "log.txt"), 1u);
  EXPECT_NE(ziz_test::ReadFile(dir / "log.txt")
                .find(" 024 ERRO: o arquivo de saida é o próprio arquivo de entrada: "),
            std::string::npos);
  EXPECT_EQ(ziz_test::ReadFile(dir / "mov.csv"), "x");
}

// Whether the run's new file, hidden beside the CSV, holds rows yet: it is
// marked for deletion by then. (It is marked right after it is made; a kill
// between those two calls, which no program can keep out, would leave it.)
bool NewFileHoldsRows(const TempDir& dir) {
  for (const std::string& name : dir.Entries()) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (name.starts_with('.') &&
        GetFileAttributesExW(WideFromUtf8(dir / name).c_str(), GetFileExInfoStandard, &data) &&
        data.nFileSizeLow > 0) {
      return true;
    }
  }
  return false;
}

// A run killed mid-way (a console window closed, the task ended) leaves the
// earlier CSV and no other file: Windows deletes the new one with its handle.
TEST(Dta2csvExeTest, KilledRunLeavesTheEarlierCsvAndNothingElse) {
  TempDir dir;
  const std::string input = dir / "mov.dat";
  // 3000 records, then a sparse line of 1 GiB of zero bytes that the run
  // has to read through: time enough to be killed.
  ziz_test::WriteFile(input, ziz_test::MovementFile("32000", std::vector<ziz_test::Record>(
                                                                 3000, ziz_test::Departure())));
  {
    HANDLE file = CreateFileW(ravuvur::WideFromUtf8(input).c_str(), GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    DWORD unused = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
    LARGE_INTEGER size{};
    size.QuadPart = std::int64_t{1} << 30;
    SetFilePointerEx(file, size, nullptr, FILE_END);
    SetEndOfFile(file);
    CloseHandle(file);
  }
  ziz_test::WriteFile(dir / "MOV.CSV", ziz_test::kEarlierCsv);
  const HANDLE nul = InheritableForWriting("NUL", OPEN_EXISTING);
  const HANDLE child = StartDta2csv({input}, nul);
  CloseHandle(nul);
  ASSERT_NE(child, nullptr);
  const bool rowsWritten = Within(10, [&] { return NewFileHoldsRows(dir); });
  TerminateProcess(child, 9);
  ExitCodeOf(child);
  ASSERT_TRUE(rowsWritten) << "the run never wrote rows into its new file";
  const std::vector<std::string> left{"MOV.CSV", "mov.dat"};
  EXPECT_TRUE(Within(2, [&] { return dir.Entries() == left; })) << dir.Entries().back();
  EXPECT_EQ(ziz_test::ReadFile(dir / "MOV.CSV"), ziz_test::kEarlierCsv);
}

}  // namespace
