// The window's state and events without a window: what is listed, which
// file a click, a key or a typed name chooses, and what a run shows.

#include "screen/screen_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
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
// At the edges of the list: nothing wraps round, and with nothing
// highlighted every key but End takes the first file.
INSTANTIATE_TEST_SUITE_P(Edges, ScreenModelKeyTest,
                         ::testing::Values(KeyRow{{K::kHome, K::kUp}, 0}, KeyRow{{K::kUp}, 0},
                                           KeyRow{{K::kPageUp}, 0}, KeyRow{{K::kPageDown}, 0},
                                           KeyRow{{K::kEnd, K::kUp}, 1},
                                           KeyRow{{K::kEnd, K::kHome}, 0},
                                           KeyRow{{K::kEnd, K::kPageDown}, 2},
                                           KeyRow{{K::kHome, K::kPageUp}, 0}));

struct PageRow {
  std::size_t pageRows;
  std::size_t from;
  screen::ListKey key;
  std::size_t to;
};

class ScreenModelPageTest : public ScreenModelTest,
                            public ::testing::WithParamInterface<PageRow> {};

// A page moves one row less than the list shows, and at least one row.
TEST_P(ScreenModelPageTest, PageKeysKeepOneRowOfThePageInSight) {
  ScreenModel model = Loaded(folder_.path());
  model.HighlightFile(GetParam().from);
  model.PressKey(GetParam().key, GetParam().pageRows);
  EXPECT_EQ(model.highlightedFile(), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(Pages, ScreenModelPageTest,
                         ::testing::Values(PageRow{3, 0, K::kPageDown, 2},
                                           PageRow{1, 0, K::kPageDown, 1},
                                           PageRow{0, 2, K::kPageUp, 1},
                                           PageRow{3, 2, K::kPageUp, 0}));

TEST_F(ScreenModelTest, ARowPastTheEndHighlightsNothing) {
  ScreenModel model = Loaded(folder_.path());
  model.HighlightFile(1);
  model.HighlightFile(model.fileCount());
  EXPECT_FALSE(model.highlightedFile().has_value());
}

// Events that name a row past the end of their list do nothing at all.
struct PastTheEndRow {
  const char* what;
  bool (*event)(ScreenModel&);
};

class ScreenModelPastTheEndTest : public ScreenModelTest,
                                  public ::testing::WithParamInterface<PastTheEndRow> {};

TEST_P(ScreenModelPastTheEndTest, ChangesNothing) {
  ScreenModel model = Loaded(folder_ / "rel");
  EXPECT_FALSE(GetParam().event(model));
  EXPECT_EQ(model.folderText(), Native(folder_ / "rel"));
  EXPECT_EQ(model.log().size(), 0U);
}

INSTANTIATE_TEST_SUITE_P(
    Events, ScreenModelPastTheEndTest,
    ::testing::Values(
        PastTheEndRow{"DoubleClick",
                      [](ScreenModel& m) { return m.DoubleClickFile(m.fileCount()); }},
        PastTheEndRow{"FolderLine",
                      [](ScreenModel& m) { return m.OpenFolderLine(m.folderLines().size()); }},
        PastTheEndRow{"Drive", [](ScreenModel& m) { return m.ChooseDrive(m.drives().size()); }}),
    [](const auto& row) { return std::string(row.param.what); });

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

namespace {

TEST_F(ScreenModelTest, StartsInTheNearestFolderThatCanBeEntered) {
  const ScreenModel model = Loaded(folder_ / "rel/missing/deeper");
  EXPECT_EQ(model.folderText(), Native(folder_ / "rel"));
}

// The file highlighted in one folder is not a file of the next, whatever
// its name.
TEST_F(ScreenModelTest, OpeningAnotherFolderTakesTheHighlightAway) {
  ziz_test::WriteFile(folder_ / "rel/A.DAT", "x");
  ScreenModel model = Loaded(folder_.path());
  model.HighlightFile(0);
  ASSERT_TRUE(model.OpenFolder(screen::PathOf("rel")));
  EXPECT_FALSE(model.highlightedFile().has_value());
}

TEST_F(ScreenModelTest, RetypingTheHighlightedPathKeepsTheHighlight) {
  ScreenModel model = Loaded(folder_.path());
  model.HighlightFile(1);
  model.EditPath(model.pathText());
  EXPECT_EQ(model.highlightedFile(), 1U);
}

TEST_F(ScreenModelTest, EveryRunRedrawsTheLog) {
  ScreenModel model = Loaded(folder_.path());
  const unsigned version = model.logVersion();
  model.Convert();
  EXPECT_NE(model.logVersion(), version);
}

// A relative path means the folder shown, wherever the program runs from.
class ScreenModelRelativeTest : public ScreenModelTest {
 protected:
  ziz_test::TempDir elsewhere_;
  ziz_test::WorkingFolder working_{elsewhere_.path()};
};

TEST_F(ScreenModelRelativeTest, ATypedRelativeNameNamesAFileInTheFolderShown) {
  ScreenModel model = Loaded(folder_ / "rel");
  model.EditPath(Native("../B.DAT"));
  std::error_code error;
  EXPECT_TRUE(
      std::filesystem::equivalent(model.PathToConvert(), screen::PathOf(folder_ / "B.DAT"), error));
}

TEST_F(ScreenModelRelativeTest, ARelativePathGivenToConvertIsTakenInTheFolderShown) {
  ScreenModel model = Loaded(folder_.path());
  ASSERT_TRUE(model.ConvertPath(screen::PathOf("B.DAT")));
  EXPECT_TRUE(ziz_test::Exists(folder_ / "B.CSV"));
}

// The rows another program's changes leave: a list whose names are the
// same is left alone, highlight and all; any other list is shown anew, the
// highlight following its file.
struct RefreshRow {
  const char* what;
  void (*change)(const ziz_test::TempDir& folder);
  bool redrawn;
  std::size_t highlighted;  // B.DAT's row afterwards
};

class ScreenModelRefreshTest : public ScreenModelTest,
                               public ::testing::WithParamInterface<RefreshRow> {};

TEST_P(ScreenModelRefreshTest, TheListIsRedrawnExactlyWhenItsNamesChange) {
  ScreenModel model = Loaded(folder_.path());
  model.HighlightFile(1);  // B.DAT
  const unsigned version = model.filesVersion();
  GetParam().change(folder_);
  model.RefreshFiles();
  EXPECT_EQ(model.filesVersion() != version, GetParam().redrawn);
  EXPECT_EQ(model.highlightedFile(), GetParam().highlighted);
}

void Rename(const ziz_test::TempDir& folder, const char* from, const char* to) {
  std::filesystem::rename(screen::PathOf(folder / from), screen::PathOf(folder / to));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ScreenModelRefreshTest,
    ::testing::Values(
        RefreshRow{"Nothing", [](const ziz_test::TempDir&) {}, false, 1},
        RefreshRow{"OtherFilesOnly",
                   [](const ziz_test::TempDir& f) { ziz_test::WriteFile(f / "X.TXT", ""); }, false,
                   1},
        RefreshRow{"SameCountOtherNames",
                   [](const ziz_test::TempDir& f) { Rename(f, "A.DAT", "Z.DAT"); }, true, 0},
        RefreshRow{"OneMore",
                   [](const ziz_test::TempDir& f) { ziz_test::WriteFile(f / "0.DAT", ""); }, true,
                   2}),
    [](const auto& row) { return std::string(row.param.what); });

// The user's place in the folder list stays where nothing changed.
TEST_F(ScreenModelTest, ARefreshFindingTheSameFoldersKeepsTheirRows) {
  ScreenModel model = Loaded(folder_.path());
  const unsigned version = model.foldersVersion();
  model.RefreshFiles();
  EXPECT_EQ(model.foldersVersion(), version);
}

// A folder that has gone, or can no longer be read, keeps what it showed.
TEST_F(ScreenModelTest, AFolderThatHasGoneKeepsItsListsOnRefresh) {
  ziz_test::MakeFolder(folder_ / "rel/gone");
  ziz_test::WriteFile(folder_ / "rel/gone/G.DAT", "x");
  ScreenModel model = Loaded(folder_ / "rel/gone");
  const std::vector<std::string> lines = FolderLines(model);
  std::filesystem::remove_all(screen::PathOf(folder_ / "rel/gone"));
  model.RefreshFiles();
  EXPECT_EQ(Files(model), std::vector<std::string>{"G.DAT"});
  EXPECT_EQ(FolderLines(model), lines);
}

// The line a failed run scrolls to, read from the log the run left.
struct ShownLineRow {
  const char* typed;
  const char* message;  // how the message of the line shown starts
};

class ScreenModelShownLineTest : public ScreenModelTest,
                                 public ::testing::WithParamInterface<ShownLineRow> {};

TEST_P(ScreenModelShownLineTest, AFailedRunShowsTheLineThatSaysWhy) {
  ScreenModel model = Loaded(folder_.path());
  model.EditPath(GetParam().typed);
  ASSERT_FALSE(model.Convert());
  ASSERT_TRUE(model.logLineToShow().has_value());
  // After the time text, which may hold spaces of its own ("9:05:01 AM").
  const std::string_view line = model.log().Line(*model.logLineToShow());
  EXPECT_NE(line.find(std::string(" ") + GetParam().message), std::string_view::npos) << line;
}

// A missing ERRO.DAT is named by the 001 line before its 021 error.
INSTANTIATE_TEST_SUITE_P(Runs, ScreenModelShownLineTest,
                         ::testing::Values(ShownLineRow{"", "010 ARQUIVO DTA"},
                                           ShownLineRow{"ERRO.DAT", "021 ERRO"}));

struct ErrorLineRow {
  const char* time;
  std::vector<const char*> messages;
  std::optional<std::size_t> line;
};

class FirstLineToShowTest : public ::testing::TestWithParam<ErrorLineRow> {};

TEST_P(FirstLineToShowTest, FindsTheFirstLineThatSaysWhatWentWrong) {
  const std::string time = GetParam().time;
  ravuvur::ProgressLog log([&time]() -> std::string_view { return time; });
  for (const char* message : GetParam().messages)
    ravuvur::LogMessage(log, std::string_view(message));
  EXPECT_EQ(screen::FirstLineToShow(log), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Logs, FirstLineToShowTest,
    ::testing::Values(
        // A warning is shown as an error is.
        ErrorLineRow{"9:05:01 PM",
                     {"000 Iniciando a conversão", "027 AVISO: fim do arquivo",
                      "008 Fim de Conversão bem sucedido", "013 Partidas.......: 0"},
                     1},
        // A warning before a failed run's verdict comes first too.
        ErrorLineRow{"9:05:01 PM",
                     {"000 Iniciando a conversão", "027 AVISO: fim do arquivo",
                      "011 CONVERSÃO NÃO REALIZADA", "013 Partidas.......: 0"},
                     1},
        // With neither, the verdict of a run that failed.
        ErrorLineRow{
            "9:05:01 PM",
            {"000 Iniciando a conversão", "011 CONVERSÃO NÃO REALIZADA", "013 Partidas.......: 0"},
            1},
        ErrorLineRow{"12:00:00",
                     {"000 Iniciando a conversão", "008 Fim de Conversão bem sucedido"},
                     std::nullopt},
        ErrorLineRow{"오후 9:05:01", {"000 Iniciando", "023 ERRO ao criar", "025 ERRO"}, 1},
        ErrorLineRow{"", {"000 Iniciando", "010 ARQUIVO DTA NÃO INFORMADO", "021 ERRO"}, 1}));

// Two drives, c and d, inside the scratch folder.
class ScreenModelDriveTest : public ScreenModelTest {
 protected:
  ScreenModelDriveTest() {
    for (const char* name : {"c", "d", "d/sub"}) ziz_test::MakeFolder(folder_ / name);
  }

  ScreenModel OnDrives(const std::string& start) {
    ScreenModel model([this] { return roots_; }, screen::PathOf(start));
    model.Load();
    return model;
  }

  static std::string Chosen(const ScreenModel& model) {
    return model.drives()[model.chosenDrive()].shown;
  }

  std::vector<screen::FsPath> roots_{screen::PathOf(folder_ / "c"), screen::PathOf(folder_ / "d")};
};

TEST_F(ScreenModelDriveTest, AFolderOnNoDriveKeepsTheDriveShown) {
  ScreenModel model = OnDrives(folder_ / "d");
  ASSERT_TRUE(model.OpenFolder(screen::PathOf(folder_.path())));
  EXPECT_EQ(Chosen(model), Native(folder_ / "d"));
}

TEST_F(ScreenModelDriveTest, AFolderOnAnotherDriveChoosesThatDrive) {
  ScreenModel model = OnDrives(folder_ / "d/sub");
  ASSERT_TRUE(model.OpenFolder(screen::PathOf(folder_ / "c")));
  EXPECT_EQ(Chosen(model), Native(folder_ / "c"));
}

TEST_F(ScreenModelDriveTest, ChoosingTheDriveShownGoesToItsRoot) {
  ScreenModel model = OnDrives(folder_ / "d/sub");
  ASSERT_TRUE(model.ChooseDrive(model.chosenDrive()));
  EXPECT_EQ(model.folderText(), Native(folder_ / "d"));
}

TEST_F(ScreenModelDriveTest, ADriveThatHasGoneIsNotEntered) {
  ScreenModel model = OnDrives(folder_ / "d/sub");
  std::filesystem::remove(screen::PathOf(folder_ / "c"));
  EXPECT_FALSE(model.ChooseDrive(0));
  EXPECT_EQ(model.folderText(), Native(folder_ / "d/sub"));
}

// The list is read again, so the view shows the drive of the folder shown.
TEST_F(ScreenModelDriveTest, ADriveThatHasGoneLeavesTheList) {
  ScreenModel model = OnDrives(folder_ / "d/sub");
  std::filesystem::remove(screen::PathOf(folder_ / "c"));
  model.ChooseDrive(0);
  ASSERT_EQ(model.drives().size(), 1U);
  EXPECT_EQ(Chosen(model), Native(folder_ / "d"));
}

TEST_F(ScreenModelDriveTest, OpeningTheDriveListReadsTheDrivesAgain) {
  ScreenModel model = OnDrives(folder_ / "d");
  ziz_test::MakeFolder(folder_ / "b");
  roots_.push_back(screen::PathOf(folder_ / "b"));
  model.RefreshDrives();
  EXPECT_EQ(model.drives().front().shown, Native(folder_ / "b"));
  EXPECT_EQ(Chosen(model), Native(folder_ / "d"));
}

// The drive of a folder is the deepest drive that holds it, by whole names.
struct DriveOfRow {
  std::vector<const char*> roots;  // in the scratch folder; "" for itself
  const char* path;
  const char* drive;  // nullptr for none
};

class DriveOfTest : public ScreenModelDriveTest,
                    public ::testing::WithParamInterface<DriveOfRow> {};

TEST_P(DriveOfTest, IsTheDeepestDriveHoldingTheFolder) {
  const auto at = [this](const char* name) {
    return screen::PathOf(*name == '\0' ? folder_.path() : folder_ / name);
  };
  std::vector<screen::FsPath> roots;
  for (const char* root : GetParam().roots) roots.push_back(at(root));
  const screen::FsPath drive = screen::DriveOf(at(GetParam().path), roots);
  EXPECT_EQ(drive, GetParam().drive == nullptr ? screen::FsPath() : at(GetParam().drive));
}

INSTANTIATE_TEST_SUITE_P(
    Drives, DriveOfTest,
    ::testing::Values(DriveOfRow{{"", "d"}, "d/sub", "d"}, DriveOfRow{{"d", ""}, "d/sub", "d"},
                      DriveOfRow{{"d", ""}, "c", ""}, DriveOfRow{{"d/s", "c"}, "d/sub", nullptr},
                      DriveOfRow{{"c", "d"}, "d", "d"}, DriveOfRow{{"c", "d"}, "d/gone", "d"}));

// Every drive that can be listed, and the drive shown even when it cannot,
// each once, in the order the lists use.
TEST_F(ScreenModelDriveTest, TheDriveListHoldsWhatCanBeListedAndTheDriveShown) {
  const screen::FsPath c = screen::PathOf(folder_ / "c");
  const screen::FsPath d = screen::PathOf(folder_ / "d");
  const screen::FsPath gone = screen::PathOf(folder_ / "Gone");
  std::vector<std::string> shown;
  for (const screen::FolderEntry& drive : screen::DriveEntries({d, gone, c, d}, gone)) {
    shown.push_back(drive.shown);
  }
  EXPECT_EQ(shown,
            (std::vector{Native(folder_ / "c"), Native(folder_ / "d"), Native(folder_ / "Gone")}));
}

}  // namespace
