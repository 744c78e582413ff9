// What the window shows of a run (the line brought into sight, the verdict
// a screen reader hears) and what a drop from a file manager does.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "screen/screen_model.h"
#include "tests/support/test_files.h"

namespace {

using screen::FsPath;
using screen::ScreenModel;

// A scratch folder with a subfolder "in" holding IN.DAT and NOTES.TXT; the
// model starts in the scratch folder, loaded ("*.DAT").
class RunAndDropTest : public ::testing::Test {
 protected:
  FsPath Path(const std::string& name) const { return screen::PathOf(folder_ / name); }

  ziz_test::TempDir folder_;

 private:
  // Made before the model reads the folder.
  struct Files {
    explicit Files(const ziz_test::TempDir& folder) {
      ziz_test::MakeFolder(folder / "in");
      const std::string file = ziz_test::MovementFile("0001", {ziz_test::Departure()});
      for (const char* name : {"START.DAT", "in/IN.DAT", "in/NOTES.TXT"}) {
        ziz_test::WriteFile(folder / name, file);
      }
    }
  } files_{folder_};

 protected:
  ScreenModel model_ = Loaded(folder_);

 private:
  static ScreenModel Loaded(const ziz_test::TempDir& folder) {
    const FsPath start = screen::PathOf(folder.path());
    ScreenModel model([start] { return std::vector{start}; }, start);
    model.Load();
    return model;
  }
};

struct RunRow {
  const char* name;
  std::string content;    // empty: no such file
  std::string shownCode;  // the code of the line brought into sight; empty: none
  std::string verdict;
};

class RunShownTest : public RunAndDropTest, public ::testing::WithParamInterface<RunRow> {};

// Forty records announced, fourteen there: the run succeeds with a warning
// far below the first lines.
TEST_P(RunShownTest, ARunShowsItsFirstWarningOrErrorAndSaysItsVerdict) {
  const RunRow& row = GetParam();
  if (!row.content.empty()) ziz_test::WriteFile(folder_ / row.name, row.content);
  model_.ConvertPath(Path(row.name));
  const std::optional<std::size_t> shown = model_.logLineToShow();
  EXPECT_EQ(shown ? model_.log().Line(*shown).find(" " + row.shownCode + " ") != std::string::npos
                  : row.shownCode.empty(),
            true)
      << (shown ? model_.log().Line(*shown) : "the top");
  EXPECT_EQ(model_.verdict(), row.verdict);
}

const std::vector<ziz_test::Record> kFourteen(14, ziz_test::Departure());

INSTANTIATE_TEST_SUITE_P(
    Runs, RunShownTest,
    ::testing::Values(RunRow{"CLEAN.DAT", ziz_test::MovementFile("0014", kFourteen), "",
                             "008 Fim de Conversão bem sucedido"},
                      RunRow{"SHORT.DAT", ziz_test::MovementFile("0040", kFourteen), "027",
                             "008 Fim de Conversão bem sucedido"},
                      RunRow{"MISSING.DAT", "", "021", "011 CONVERSÃO NÃO REALIZADA"}));

struct DropRow {
  const char* what;
  // Relative to the scratch folder; "" for no local file, "~" before a
  // path given as it stands.
  std::vector<std::string> items;
  bool taken;
  std::string folder;       // the folder shown after, relative to the scratch folder
  std::string highlighted;  // "" none
  std::string inTheBox;     // relative to the scratch folder; "" as before
};

class DropTest : public RunAndDropTest, public ::testing::WithParamInterface<DropRow> {};

TEST_P(DropTest, ADropShowsOneFileOrOpensOneFolderAndConvertsNothing) {
  const DropRow& row = GetParam();
  model_.HighlightFile(0);  // START.DAT
  const std::string boxBefore = model_.pathText();
  std::vector<FsPath> items;
  for (const std::string& item : row.items) {
    items.push_back(item.empty()            ? FsPath()
                    : item.starts_with('~') ? screen::PathOf(item.substr(1))
                                            : Path(item));
  }

  EXPECT_EQ(model_.Drop(items), row.taken);
  EXPECT_EQ(model_.folder(), screen::AbsoluteFolder(FsPath(), Path(row.folder)));
  const auto highlighted = model_.highlightedFile();
  EXPECT_EQ(highlighted ? model_.file(*highlighted).shown : "", row.highlighted);
  EXPECT_EQ(model_.pathText(), row.inTheBox.empty()
                                   ? boxBefore
                                   : screen::Shown(screen::InFolder(Path("in"), row.inTheBox)));
  EXPECT_EQ(ziz_test::EntriesOf(folder_ / "in"), (std::vector<std::string>{"IN.DAT", "NOTES.TXT"}));
}

INSTANTIATE_TEST_SUITE_P(
    Drops, DropTest,
    ::testing::Values(
        DropRow{"a listed file", {"in/IN.DAT"}, true, "in", "IN.DAT", "IN.DAT"},
        DropRow{"a file the pattern leaves out", {"in/NOTES.TXT"}, true, "in", "", "NOTES.TXT"},
        DropRow{"a folder", {"in"}, true, "in", "", ""},
        DropRow{"two files", {"in/IN.DAT", "START.DAT"}, false, ".", "START.DAT", ""},
        DropRow{"no local file", {""}, false, ".", "START.DAT", ""},
        DropRow{"a relative path", {"~in/IN.DAT"}, false, ".", "START.DAT", ""},
        DropRow{"nothing there", {"in/GONE.DAT"}, false, ".", "START.DAT", ""}),
    [](const ::testing::TestParamInfo<DropRow>& drop) {
      std::string name = drop.param.what;
      for (char& c : name) c = c == ' ' ? '_' : c;
      return name;
    });

// Ok after the drop converts the file dropped, the one the box names even
// where the list does not show it.
TEST_F(RunAndDropTest, OkAfterADropConvertsTheFileDropped) {
  ASSERT_TRUE(model_.Drop({Path("in/NOTES.TXT")}));
  model_.Convert();
  EXPECT_NE(model_.log().Text().find(screen::Shown(Path("in/NOTES.TXT"))), std::string::npos);
}

}  // namespace
