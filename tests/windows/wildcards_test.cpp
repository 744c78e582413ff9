// dta2csv.exe's own expansion of wildcards (cli/console_windows.cpp), as
// cmd.exe and PowerShell leave it to each program: which files a pattern
// stands for, in a folder prepared for each row.

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "core/wide_text.h"
#include "tests/support/test_files.h"

namespace {

using Strings = std::vector<std::string>;

struct WildcardCase {
  const char* name;
  const char* pattern;  // in the prepared folder, whose path $ stands for
  Strings files;        // the same, each
  bool inWorkingFolder = false;
};

// `text` with each $ given as `folder`.
std::string Placed(std::string text, const std::string& folder) {
  for (std::size_t at; (at = text.find('$')) != std::string::npos;) text.replace(at, 1, folder);
  return text;
}

class WildcardTest : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardTest, StandsForTheFilesWhoseLongNamesMatch) {
  const ziz_test::TempDir dir;
  // "mov0612.datold" has a short name that *.DAT would match; "pasta.dat"
  // is a folder; "a.dat" and "B.DAT" sort apart by letter case.
  for (const char* file : {"a.dat", "B.DAT", "mov0612.datold"}) {
    ziz_test::WriteFile(dir / file, "x");
  }
  ziz_test::MakeFolder(dir / "pasta.dat");
  wchar_t alias[MAX_PATH];
  const DWORD length =
      GetShortPathNameW(ravuvur::WideFromUtf8(dir / "mov0612.datold").c_str(), alias, MAX_PATH);
  ASSERT_NE(length, 0u);
  ASSERT_EQ(std::wstring_view(alias, length).substr(length - 4), L".DAT")
      << "no short name to match through here";
  std::string folder = dir.path();
  std::optional<ziz_test::WorkingFolder> working;
  if (GetParam().inWorkingFolder) {
    working.emplace(folder);
    folder = folder.substr(0, 2);  // the drive alone: "C:"
  }
  Strings expected;
  for (const std::string& file : GetParam().files) expected.push_back(Placed(file, folder));
  EXPECT_EQ(dta2csv::FilesNamedBy(Placed(GetParam().pattern, folder)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, WildcardTest,
    ::testing::Values(
        WildcardCase{"OrderIgnoresLetterCase", R"($\?.dat)", {R"($\a.dat)", R"($\B.DAT)"}},
        WildcardCase{"NoMatchThroughAShortName", R"($\mov*.dat)", {}},
        WildcardCase{"NoFolder", R"($\pasta*)", {}},
        WildcardCase{"DriveKept", R"($a.da?)", {R"($a.dat)"}, true},
        WildcardCase{"LiteralFormIsNoPattern", R"(\\?\$\gone.dat)", {R"(\\?\$\gone.dat)"}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
