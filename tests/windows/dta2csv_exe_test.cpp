#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "core/text.h"
#include "core/wide_text.h"
#include "tests/support/test_files.h"

namespace {

using ziz_test::TempDir;

struct Finished {
  DWORD exitCode = 0;
  std::string output;  // standard output and standard error
};

// Runs dta2csv.exe with `arguments` (UTF-8), as cmd.exe would: the command
// line in UTF-16, the output into a pipe.
Finished RunDta2csv(const std::string& arguments) {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe(self, length);
  exe = exe.substr(0, exe.find_last_of(L'\\') + 1) + ravuvur::WideFromUtf8(DTA2CSV_FROM_TESTS);
  std::wstring commandLine = L"\"" + exe + L"\" " + ravuvur::WideFromUtf8(arguments);

  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0)) return {~0u, "no pipe"};
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  Finished run;
  char buffer[4096];
  DWORD read = 0;
  while (started && ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    run.output.append(buffer, read);
  }
  CloseHandle(readEnd);
  if (!started) return {~0u, "cannot start dta2csv.exe"};
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return run;
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

}  // namespace
