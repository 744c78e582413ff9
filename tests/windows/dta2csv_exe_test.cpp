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

using ziz_test::TempDir;

struct Finished {
  DWORD exitCode = 0;
  std::string output;  // standard output and standard error
};

// Starts dta2csv.exe with `arguments` (UTF-8) as cmd.exe would, the command
// line in UTF-16, its output into `output` (inheritable).
PROCESS_INFORMATION StartDta2csv(const std::string& arguments, HANDLE output) {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe(self, length);
  exe = exe.substr(0, exe.find_last_of(L'\\') + 1) + ravuvur::WideFromUtf8(DTA2CSV_FROM_TESTS);
  std::wstring commandLine = L"\"" + exe + L"\" " + ravuvur::WideFromUtf8(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = output;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return {};
  }
  CloseHandle(process.hThread);
  return process;
}

// Runs dta2csv.exe to its end, its output read from a pipe.
Finished RunDta2csv(const std::string& arguments) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0)) return {~0u, "no pipe"};
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  const PROCESS_INFORMATION process = StartDta2csv(arguments, writeEnd);
  CloseHandle(writeEnd);
  Finished run;
  char buffer[4096];
  DWORD read = 0;
  while (process.hProcess && ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    run.output.append(buffer, read);
  }
  CloseHandle(readEnd);
  if (!process.hProcess) return {~0u, "cannot start dta2csv.exe"};
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hProcess);
  return run;
}

// True once `done` holds, looking every 10 ms for at most `seconds`.
template <typename Condition>
bool Within(int seconds, Condition done) {
  for (int tick = 0; tick < seconds * 100; ++tick, Sleep(10)) {
    if (done()) return true;
  }
  return done();
}

std::string Backslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

TEST(Dta2csvExeTest, TakesAccentedNamesAndLogsUtf8IntoAPipe) {
  TempDir dir;
  ziz_test::MakeFolder(dir / "Movimentação");
  const std::string input = Backslashes(dir / "Movimentação/mov0612.dat");
  ziz_test::WriteFile(input, ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  const Finished run = RunDta2csv("\"" + input + "\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find(" 001 Abrindo arquivo.....: " + ravuvur::UpperCase(input) + "\n"),
            std::string::npos)
      << run.output;
  EXPECT_TRUE(ziz_test::Exists(dir / "Movimentação/MOV0612.CSV"));
}

TEST(Dta2csvExeTest, LowerCaseCsvInputIsRefusedWith024) {
  TempDir dir;
  ziz_test::WriteFile(dir / "mov.csv", "x");
  const Finished run = RunDta2csv("\"" + dir / "mov.csv" + "\"");
  EXPECT_EQ(run.exitCode, 1u) << run.output;
  EXPECT_NE(run.output.find(" 024 ERRO: o arquivo de saida é o próprio arquivo de entrada: "),
            std::string::npos)
      << run.output;
  EXPECT_EQ(ziz_test::ReadFile(dir / "mov.csv"), "x");
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
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE nul =
      CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr);
  const PROCESS_INFORMATION child = StartDta2csv("\"" + input + "\"", nul);
  CloseHandle(nul);
  ASSERT_NE(child.hProcess, nullptr);
  const bool newFileSeen = Within(10, [&] { return dir.Entries().size() == 3; });
  TerminateProcess(child.hProcess, 9);
  WaitForSingleObject(child.hProcess, INFINITE);
  CloseHandle(child.hProcess);
  ASSERT_TRUE(newFileSeen) << "the run never made its new file";
  const std::vector<std::string> left{"MOV.CSV", "mov.dat"};
  EXPECT_TRUE(Within(2, [&] { return dir.Entries() == left; })) << dir.Entries().back();
  EXPECT_EQ(ziz_test::ReadFile(dir / "MOV.CSV"), ziz_test::kEarlierCsv);
}

}  // namespace
