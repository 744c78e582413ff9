// What Windows reads from the programs' files before running them: the
// manifest, the version information shown in the file's properties, the
// icon Explorer shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/wide_text.h"

namespace {

struct Program {
  const char* fromTests;  // path relative to the test program's folder
  const wchar_t* description;
};

std::wstring BesideTests(const char* relative) {
  wchar_t self[MAX_PATH];
  std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  path.replace(path.find_last_of(L'\\') + 1, std::wstring::npos, ravuvur::WideFromUtf8(relative));
  return path;
}

std::wstring VersionText(const std::vector<char>& block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring key = std::wstring(L"\\StringFileInfo\\041604B0\\") + name;
  if (!VerQueryValueW(block.data(), key.c_str(), &value, &length) || length == 0) return L"";
  return {static_cast<const wchar_t*>(value), length - 1};
}

class ProgramResourcesTest : public ::testing::TestWithParam<Program> {};

TEST_P(ProgramResourcesTest, VersionInformationNamesTheProgram) {
  const std::wstring path = BesideTests(GetParam().fromTests);
  std::vector<char> block(GetFileVersionInfoSizeW(path.c_str(), nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  EXPECT_EQ(VersionText(block, L"FileDescription"), GetParam().description);
  EXPECT_EQ(VersionText(block, L"FileVersion"), L"0.00.0010");
  EXPECT_EQ(VersionText(block, L"ProductVersion"), L"0.00.0010");
  EXPECT_EQ(VersionText(block, L"Comments"),
            L"Converte arquivo KOVA-DTA para dados de planilhas ou arquivos texto");
}

TEST_P(ProgramResourcesTest, ManifestAsksForLongPathsAndPerMonitorDpi) {
  const HMODULE module =
      LoadLibraryExW(BesideTests(GetParam().fromTests).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                             SizeofResource(module, found));
  FreeLibrary(module);
  EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
  EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    BothPrograms, ProgramResourcesTest,
    ::testing::Values(Program{DTA2CSV_FROM_TESTS, L"conversor dira-ror-eru de linha de comando"},
                      Program{ZIZADOD5_FROM_TESTS, L"simples conversor dira-ror-eru"}));

TEST(ZizadodIconTest, HoldsSixteenAndThirtyTwoPixelImages) {
  const HMODULE module =
      LoadLibraryExW(BesideTests(ZIZADOD5_FROM_TESTS).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  for (const int size : {16, 32}) {
    const auto icon = static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info{};
    GetIconInfo(icon, &info);
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
  FreeLibrary(module);
}

}  // namespace
