#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "conversion/input_file.h"
#include "conversion/run_conversion.h"
#include "conversion/win32_file.h"
#include "core/text.h"
#include "core/wide_text.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

using ziz_test::Messages;
using ziz_test::TempDir;
using Strings = std::vector<std::string>;

std::string WithSeparator(std::string path, char separator) {
  std::replace_if(
      path.begin(), path.end(), [](char c) { return c == '/' || c == '\\'; }, separator);
  return path;
}

// The same path through a share that names drive C: (\\ziz\c under Wine;
// \\localhost\C$ on Windows). Empty when the test run names no such share.
std::string OnShare(const std::string& path) {
  const char* share = std::getenv("ZIZ_TEST_SHARE_OF_C");
  if (share == nullptr || path.rfind("C:", 0) != 0) return {};
  return share + WithSeparator(path.substr(2), '\\');
}

class WindowsPathsTest : public ::testing::Test {
 protected:
  // A lower-case (or accented) folder in the scratch folder, holding
  // mov0612.dat with one departure.
  std::string InputIn(const std::string& folderName) {
    const std::string folder = dir / folderName;
    ziz_test::MakeFolder(folder);
    ziz_test::WriteFile(folder + "/mov0612.dat",
                        ziz_test::MovementFile("00001", {ziz_test::Departure()}));
    return folder + "/mov0612.dat";
  }

  TempDir dir;  // its path is upper case already
  ModuleState state = ziz_test::FixedClockState();
};

TEST_F(WindowsPathsTest, EveryFormOfPathGivesTheCsvBesideTheInput) {
  const std::string input = InputIn("dados");
  const std::string csv = dir / "DADOS/MOV0612.CSV";
  std::vector<std::pair<std::string, std::string>> forms = {
      {WithSeparator(input, '\\'), WithSeparator(csv, '\\')},
      {WithSeparator(input, '/'), WithSeparator(csv, '/')},
  };
  if (!OnShare(input).empty()) forms.emplace_back(OnShare(input), OnShare(csv));
  for (const auto& [given, expected] : forms) {
    SCOPED_TRACE(given);
    std::remove(csv.c_str());
    ASSERT_TRUE(RunConversion(state, given)) << state.log.Text();
    EXPECT_EQ(Messages(state.log)[2], "012 Arquivo de saida CSV: " + expected);
    EXPECT_EQ(ziz_test::EntriesOf(dir / "dados"), (Strings{"MOV0612.CSV", "mov0612.dat"}));
  }
  if (OnShare(input).empty()) GTEST_SKIP() << "set ZIZ_TEST_SHARE_OF_C to test a UNC path";
}

TEST_F(WindowsPathsTest, AccentedNamesGoThroughTheWideApi) {
  const std::string input = WithSeparator(InputIn("Movimentação"), '\\');
  ASSERT_TRUE(RunConversion(state, input)) << state.log.Text();
  EXPECT_EQ(Messages(state.log)[2],
            "012 Arquivo de saida CSV: " + WithSeparator(dir / "MOVIMENTAÇÃO/MOV0612.CSV", '\\'));
  EXPECT_EQ(ziz_test::EntriesOf(dir / "Movimentação"), (Strings{"MOV0612.CSV", "mov0612.dat"}));
}

TEST_F(WindowsPathsTest, CsvInputInAnyLetterCaseIsTheOutputItself) {
  for (const char* name : {"a.csv", "b.Csv", "C.CSV"}) {
    const std::string input = dir / name;
    ziz_test::WriteFile(input, "SBJD         00001\r\n");
    EXPECT_FALSE(RunConversion(state, input));
    EXPECT_EQ(Messages(state.log)[3],
              "024 ERRO: o arquivo de saida é o próprio arquivo de entrada: " + UpperCase(input));
    EXPECT_EQ(ziz_test::ReadFile(input), "SBJD         00001\r\n");
  }
}

TEST_F(WindowsPathsTest, DevicesAndPipesAreNotOpened) {
  InputFile file;
  for (const std::string& path : {std::string("NUL"), std::string("CON"), std::string("COM1"),
                                  dir / "nul.dat", std::string(R"(\\.\pipe\ziz)")}) {
    EXPECT_FALSE(file.Open(path)) << path;
  }
}

// Windows opens mov0612.dat for these names; the CSV is named after it.
TEST_F(WindowsPathsTest, TrailingDotsAndSpacesGiveTheCsvOfTheFileOpened) {
  const std::string input = InputIn("dados");
  for (const char* end : {".", " ", ". ."}) {
    SCOPED_TRACE(std::string("[") + end + "]");
    ASSERT_TRUE(RunConversion(state, input + end)) << state.log.Text();
    EXPECT_EQ(ziz_test::EntriesOf(dir / "dados"), (Strings{"MOV0612.CSV", "mov0612.dat"}));
  }
}

// A file may also be named by its short alias, which Windows makes for a
// long name ("MOVI~4ZG.DAT"): converted through it, the file gets the CSV
// of its long name, and the log names the long path converted.
TEST_F(WindowsPathsTest, ShortAliasIsConvertedUnderTheLongName) {
  const std::string input = WithSeparator(dir / "movimento longo.dat", '\\');
  ziz_test::WriteFile(input, ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  wchar_t alias[MAX_PATH];
  const DWORD length = GetShortPathNameW(WideFromUtf8(input).c_str(), alias, MAX_PATH);
  const std::string shortInput = Utf8FromWide(std::wstring_view(alias, length));
  if (length == 0 || shortInput.ends_with("longo.dat")) GTEST_SKIP() << "no short names here";
  ASSERT_TRUE(RunConversion(state, shortInput)) << state.log.Text();
  EXPECT_EQ(dir.Entries(), (Strings{"MOVIMENTO LONGO.CSV", "movimento longo.dat"}));
  EXPECT_TRUE(Messages(state.log)[5].ends_with("\\movimento longo.dat")) << Messages(state.log)[5];
}

// A pipe's server sees each client that opens it, and may act as that
// user: no spelling of a pipe's name may reach it.
TEST_F(WindowsPathsTest, NoFormOfAPipeNameReachesTheServer) {
  const std::wstring name = L"ziz-" + std::to_wstring(GetCurrentProcessId());
  for (const wchar_t* form : {LR"(\\.\pipe\)", LR"(\\?\pipe\)", LR"(\??\pipe\)", LR"(//?/pipe/)",
                              LR"(\\?\GLOBALROOT\Device\NamedPipe\)"}) {
    SCOPED_TRACE(Utf8FromWide(form));
    const win32::Handle server(CreateNamedPipeW((LR"(\\.\pipe\)" + name).c_str(),
                                                PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                                PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr));
    ASSERT_TRUE(server.IsValid());
    const win32::Handle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED waiting{};
    waiting.hEvent = connected.Get();
    ConnectNamedPipe(server.Get(), &waiting);
    InputFile file;
    EXPECT_FALSE(file.Open(Utf8FromWide(form + name)));
    EXPECT_EQ(WaitForSingleObject(connected.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CancelIo(server.Get());
  }
}

struct DeviceCase {
  const wchar_t* path;
  bool isDevice;
};

void PrintTo(const DeviceCase& c, std::ostream* os) { *os << Utf8FromWide(c.path); }

class NamesADeviceTest : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(NamesADeviceTest, TellsDevicesFromFiles) {
  EXPECT_EQ(win32::NamesADevice(GetParam().path), GetParam().isDevice);
}

INSTANTIATE_TEST_SUITE_P(Forms, NamesADeviceTest,
                         ::testing::Values(DeviceCase{LR"(\\?\COM1)", true},
                                           DeviceCase{LR"(\??\com1)", true},
                                           DeviceCase{LR"(\\?\GLOBALROOT\Device\Serial0)", true},
                                           DeviceCase{LR"(\\?\C:)", true},
                                           DeviceCase{LR"(\\servidor\PIPE\ziz)", true},
                                           DeviceCase{LR"(\\?\UNC\servidor\pipe\ziz)", true},
                                           DeviceCase{LR"(\\?\C:\dados\mov.dat)", false},
                                           DeviceCase{LR"(\\?\UNC\servidor\dados\mov.dat)", false},
                                           DeviceCase{LR"(\\servidor\dados\pipe\mov.dat)", false}));

// Names Windows itself turns into the device namespace (\\.\) when it
// makes them full, which nothing but that check tells from files: the
// device would be opened, and only then refused.
INSTANTIATE_TEST_SUITE_P(DeviceNamespace, NamesADeviceTest,
                         ::testing::Values(DeviceCase{L"NUL", true},
                                           DeviceCase{LR"(\\.\COM1)", true},
                                           DeviceCase{LR"(C:\dados\com1.dat)", true}));

// A movement file another program holds open is read all the same when
// that program shares it (an editor that has it open for writing, or may
// delete it), and not when it keeps it to itself.
class HeldInputTest : public WindowsPathsTest,
                      public ::testing::WithParamInterface<std::pair<DWORD, bool>> {};

TEST_P(HeldInputTest, IsReadWhenTheOtherHandleShares) {
  const auto [sharing, opens] = GetParam();
  const std::string input = InputIn("dados");
  const win32::Handle other(CreateFileW(WideFromUtf8(input).c_str(), GENERIC_WRITE | DELETE,
                                        sharing, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(other.IsValid());
  InputFile file;
  EXPECT_EQ(file.Open(input), opens);
}

INSTANTIATE_TEST_SUITE_P(Sharing, HeldInputTest,
                         ::testing::Values(std::pair{DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE |
                                                           FILE_SHARE_DELETE},
                                                     true},
                                           std::pair{DWORD{0}, false}),
                         [](const auto& row) { return row.param.second ? "Shared" : "NotShared"; });

// Every Windows name, valid UTF-16 or not, comes back from UTF-8 as it was.
TEST(WideTextTest, NamesSurviveTheTripThroughUtf8) {
  for (const std::wstring name :
       {L"a\xD800", L"\xDC00z", L"\xDC00\xD800", L"\xD83D\xDE00", L"\xD800\xD83D\xDE00", L"ação"}) {
    EXPECT_EQ(WideFromUtf8(Utf8FromWide(name)), name) << Utf8FromWide(name);
  }
  // Its pair spelt as two halves: not what Windows names give.
  EXPECT_EQ(WideFromUtf8("\xED\xA0\xBD\xED\xB8\x80"), L"");
}

TEST(WindowsUpperCaseTest, UpperCasesEveryScriptAsWindowsNamesDo) {
  EXPECT_EQ(UpperCase("движение αβγ"), "ДВИЖЕНИЕ ΑΒΓ");
}

}  // namespace
}  // namespace ravuvur
