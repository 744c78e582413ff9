// The window's state and events without a window: what is listed, which
// file a click, a key or a typed name chooses, and what a run shows.

#include "screen/screen_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace {

using screen::ScreenModel;

// A path with the platform's separators, as the controls show it.
std::string Native(const std::string& path) { return screen::Shown(screen::PathOf(path)); }

std::vector<std::string> Files(const ScreenModel& model) {
  std::vector<std::string> names;
  for (std::size_t row = 0; row < model.fileCount(); ++row) names.push_back(model.file(row).shown);
  return names;
}

std::vector<std::string> FolderLines(const ScreenModel& model) {
  std::vector<std::string> lines;
  for (const screen::FolderLine& line : model.folderLines()) {
    lines.push_back(std::string(static_cast<std::size_t>(line.depth), ' ') + line.shown);
  }
  return lines;
}

class ScreenModelTest : public ::testing::Test {
 protected:
  ScreenModelTest() {
    const std::string file = ziz_test::MovementFile("0001", {ziz_test::Departure()});
    for (const char* name : {"A.DAT", "B.DAT", "c.dat"}) ziz_test::WriteFile(folder_ / name, file);
    ziz_test::WriteFile(folder_ / "NOTES.TXT", "x");
    ziz_test::MakeFolder(folder_ / "rel");
  }

  // A model started in the scratch folder, loaded: "*.DAT" applied.
  ScreenModel Loaded(const std::string& start) {
    ScreenModel model([this] { return std::vector{screen::PathOf(folder_.path())}; },
                      screen::PathOf(start));
    model.Load();
    return model;
  }

  ziz_test::TempDir folder_;
};

TEST_F(ScreenModelTest, LoadListsTheDatFilesIgnoringCase) {
  const ScreenModel model = Loaded(folder_.path());
  EXPECT_EQ(Files(model), (std::vector<std::string>{"A.DAT", "B.DAT", "c.dat"}));
  EXPECT_EQ(model.folderText(), folder_.path());
}

TEST_F(ScreenModelTest, FolderLinesRunFromTheRootDownThenTheSubfolders) {
  ziz_test::MakeFolder(folder_ / "rel/a");
  ziz_test::MakeFolder(folder_ / "rel/b");
  const ScreenModel model = Loaded(folder_ / "rel");
  const std::vector<std::string> lines = FolderLines(model);
  ASSERT_EQ(lines.size(), model.currentFolderLine() + 3);
  EXPECT_EQ(lines.front(), screen::Shown(screen::PathOf(folder_.path()).root_path()));
  EXPECT_EQ(lines[model.currentFolderLine()].substr(model.currentFolderLine()), "rel");
  const std::string under(model.currentFolderLine() + 1, ' ');
  EXPECT_EQ(std::vector(lines.end() - 2, lines.end()), (std::vector{under + "a", under + "b"}));
}

// The run writes A.CSV, which "*.*" lists above B.DAT. While the pointer
// rests on the list the rows stay put, so the second double click, aimed
// at B.DAT, converts B.DAT.
TEST_F(ScreenModelTest, RowsDoNotMoveUnderThePointerAfterARun) {
  ScreenModel model = Loaded(folder_.path());
  model.SetPattern("*.*");
  model.PointerOverFiles(true);
  ASSERT_TRUE(model.DoubleClickFile(0));
  EXPECT_TRUE(model.DoubleClickFile(1));
  EXPECT_TRUE(ziz_test::Exists(folder_ / "B.CSV"));
  model.PointerOverFiles(false);
  EXPECT_EQ(Files(model),
            (std::vector<std::string>{"A.CSV", "A.DAT", "B.CSV", "B.DAT", "c.dat", "NOTES.TXT"}));
  EXPECT_EQ(model.highlightedFile(), 3U);  // still B.DAT
}

struct KeyRow {
  std::vector<screen::ListKey> keys;
  std::size_t highlighted;
};

class ScreenModelKeyTest : public ScreenModelTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(ScreenModelKeyTest, KeysMoveTheHighlightAndTheBoxFollows) {
  ScreenModel model = Loaded(folder_.path());
  for (const screen::ListKey key : GetParam().keys) model.PressKey(key, 2);
  ASSERT_EQ(model.highlightedFile(), GetParam().highlighted);
  EXPECT_EQ(model.pathText(),
            Native(folder_.path() + "/" + model.file(GetParam().highlighted).shown));
}

using K = screen::ListKey;
INSTANTIATE_TEST_SUITE_P(Keys, ScreenModelKeyTest,
                         ::testing::Values(KeyRow{{K::kDown}, 0}, KeyRow{{K::kHome}, 0},
                                           KeyRow{{K::kEnd}, 2}, KeyRow{{K::kDown, K::kDown}, 1},
                                           KeyRow{{K::kEnd, K::kDown}, 2},
                                           KeyRow{{K::kEnd, K::kPageUp}, 1},
                                           KeyRow{{K::kPageDown, K::kPageDown}, 1}));

// "C:\\MOV.DAT" on Windows, "//MOV.DAT" elsewhere: the same file.
TEST_F(ScreenModelTest, AFileInTheRootGetsTwoSeparators) {
  const screen::FsPath root = screen::PathOf(folder_.path()).root_path();
  const std::string shownRoot = screen::Shown(root);
  EXPECT_EQ(screen::Shown(screen::InFolder(root, "MOV.DAT")),
            shownRoot + shownRoot.back() + "MOV.DAT");
}

TEST_F(ScreenModelTest, TypingAnotherNameTakesTheHighlightAway) {
  ScreenModel model = Loaded(folder_.path());
  model.HighlightFile(1);
  model.EditPath("c.dat");
  EXPECT_FALSE(model.highlightedFile().has_value());
}

// A typed name means the file in the folder shown, not in the working
// folder, and the log names the whole path converted.
TEST_F(ScreenModelTest, TypedNameIsTakenInTheFolderShown) {
  ziz_test::WriteFile(folder_ / "rel/A.DAT", ziz_test::MovementFile("0001", {ziz_test::Arrival()}));
  const ziz_test::WorkingFolder working(folder_.path());
  ScreenModel model = Loaded(folder_.path());
  ASSERT_TRUE(model.OpenFolder(screen::PathOf("rel")));
  model.EditPath("A.DAT");
  ASSERT_TRUE(model.Convert());
  EXPECT_TRUE(ziz_test::Exists(folder_ / "rel/A.CSV"));
  EXPECT_FALSE(ziz_test::Exists(folder_ / "A.CSV"));
  EXPECT_NE(model.log().Text().find(Native(folder_ / "rel/A.DAT")), std::string::npos);
}

TEST_F(ScreenModelTest, AFailedRunShowsItsFirstErrorLine) {
  ScreenModel model = Loaded(folder_.path());
  model.EditPath("MISSING.DAT");
  ASSERT_FALSE(model.Convert());
  ASSERT_TRUE(model.logLineToShow().has_value());
  EXPECT_NE(model.log().Line(*model.logLineToShow()).find(" 021 ERRO"), std::string::npos);
}

TEST_F(ScreenModelTest, ASuccessfulRunShowsTheLogFromTheTop) {
  ScreenModel model = Loaded(folder_.path());
  model.HighlightFile(0);
  ASSERT_TRUE(model.Convert());
  EXPECT_FALSE(model.logLineToShow().has_value());
}

TEST_F(ScreenModelTest, ChoosingADriveBrowsesItsRoot) {
  ScreenModel model = Loaded(folder_ / "rel");
  ASSERT_EQ(model.drives().size(), 1U);
  ASSERT_TRUE(model.ChooseDrive(0));
  EXPECT_EQ(model.folderText(), folder_.path());
}

}  // namespace

// Back from another program that wrote into the folder shown.
class ScreenModelActivateTest : public ScreenModelTest {
 protected:
  ScreenModelActivateTest() : model_(Loaded(folder_.path())) { model_.Activate(); }

  ScreenModel model_;
};

TEST_F(ScreenModelActivateTest, ComingBackListsFilesWrittenMeanwhile) {
  ziz_test::WriteFile(folder_ / "D.DAT", "x");
  model_.Activate();
  EXPECT_EQ(Files(model_), (std::vector<std::string>{"A.DAT", "B.DAT", "c.dat", "D.DAT"}));
}

TEST_F(ScreenModelActivateTest, ComingBackListsFoldersMadeMeanwhile) {
  ziz_test::MakeFolder(folder_ / "new");
  model_.Activate();
  EXPECT_EQ(model_.folderLines().back().shown, "rel");
  EXPECT_EQ(model_.folderLines()[model_.folderLines().size() - 2].shown, "new");
}

TEST_F(ScreenModelActivateTest, ComingBackWaitsForThePointerToLeaveTheFiles) {
  ziz_test::WriteFile(folder_ / "0.DAT", "x");
  model_.PointerOverFiles(true);
  model_.Activate();
  EXPECT_EQ(model_.file(0).shown, "A.DAT");
  model_.PointerOverFiles(false);
  EXPECT_EQ(model_.file(0).shown, "0.DAT");
}
