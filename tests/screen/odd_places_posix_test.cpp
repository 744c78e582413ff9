// Odd places on Linux: a start folder the user may enter but not read
// (mode 0711), mount points whose paths are not UTF-8.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "screen/drives.h"
#include "screen/screen_model.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace {

TEST(StartFolderTest, AFolderThatCannotBeReadIsShownWithNoFiles) {
  const ziz_test::TempDir folder;
  ziz_test::WriteFile(folder / "MOV0612.DAT", "x");
  ziz_test::MakeFolder(folder / "sub");
  ASSERT_EQ(chmod(folder.path().c_str(), 0711), 0);
  const int status = ziz_test::InChild([&folder] {
    ziz_test::BecomeUnprivileged();
    screen::ScreenModel model([] { return std::vector<screen::FsPath>{"/"}; },
                              screen::PathOf(folder.path()));
    model.Load();
    if (model.folderText() != folder.path()) return 1;
    if (model.fileCount() != 0) return 2;
    // The root and each folder down to this one, and no subfolder.
    const std::vector<screen::FolderLine>& lines = model.folderLines();
    if (lines.empty() || lines.back().shown != screen::PathOf(folder.path()).filename()) return 3;
    return model.currentFolderLine() + 1 == lines.size() ? 0 : 4;
  });
  EXPECT_EQ(status, 0);
}

// A pattern copied from what the list shows takes the file whose name is
// not text, and the wildcard takes each byte shown as one character.
TEST(OddNameTest, PatternsMatchTheNameAsShown) {
  const ziz_test::TempDir folder;
  ziz_test::WriteFile(folder / "mov\xe7o.dat", "x");
  screen::ScreenModel model([] { return std::vector<screen::FsPath>{"/"}; }, folder.path());
  model.Load();
  std::vector<std::string> listed;
  for (const char* pattern : {"MOV‹E7›O.*", "mov?????.dat"}) {
    model.SetPattern(pattern);
    listed.push_back(model.fileCount() == 1 ? model.file(0).shown : pattern);
  }
  EXPECT_EQ(listed, std::vector<std::string>(2, "mov‹E7›o.dat"));
}

// Mount points keep their bytes, escapes undone; /proc and the like go.
TEST(MountTableTest, ListsMountPointsByTheirBytes) {
  const std::string table =
      "/dev/sda1 / ext4 rw 0 0\n"
      "proc /proc proc rw 0 0\n"
      "tmpfs /run/user/0 tmpfs rw 0 0\n"
      "/dev/sdb1 /media/pen\\040drive vfat rw 0 0\n"
      "/dev/sdc1 /media/c\xe7pia ext4 rw 0 0\n";  // raw: only blanks are escaped
  EXPECT_EQ(screen::RootsInMountTable(table),
            (std::vector<screen::FsPath>{"/", "/media/pen drive", "/media/c\xe7pia"}));
}

struct MountRow {
  const char* line;
  const char* root;  // nullptr: left out
};

class MountLineTest : public ::testing::TestWithParam<MountRow> {};

// Each line beside the root's: what it adds to the drives.
TEST_P(MountLineTest, KeepsTheMountPointsThatHoldFiles) {
  std::vector<screen::FsPath> roots{"/"};
  if (GetParam().root != nullptr) roots.emplace_back(GetParam().root);
  EXPECT_EQ(screen::RootsInMountTable(std::string("/dev/sda1 / ext4 rw 0 0\n") + GetParam().line),
            roots);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MountLineTest,
    ::testing::Values(MountRow{"/dev/sdd1 /run/media/ana/PEN vfat rw 0 0", "/run/media/ana/PEN"},
                      MountRow{"tmpfs /run tmpfs rw 0 0", nullptr},
                      MountRow{"tmpfs /dev/shm tmpfs rw 0 0", nullptr},
                      MountRow{"/dev/sdb1 /running ext4 rw 0 0", "/running"},
                      MountRow{"/dev/sdb1 /system ext4 rw 0 0", "/system"},
                      MountRow{"tmpfs /tmp tmpfs rw 0 0", "/tmp"},
                      MountRow{"/dev/sdb1 /a\\011b\\012c\\134d ext4 rw 0 0", "/a\tb\nc\\d"},
                      MountRow{"/dev/sdb1 /pen\\040 vfat rw 0 0", "/pen "},
                      MountRow{"/dev/sdb1 /a\\04 vfat rw 0 0", "/a\\04"},
                      MountRow{"/dev/sdb1 /a\\084 vfat rw 0 0", "/a\\084"},
                      MountRow{"/dev/sdb1 /a\\048 vfat rw 0 0", "/a\\048"},
                      MountRow{"tmpfs /run/mediafoo tmpfs rw 0 0", nullptr},
                      MountRow{"broken line", nullptr}));

// Wherever they are mounted, file systems of the kernel's own hold no files.
TEST(MountTableTest, LeavesOutEveryKindThatHoldsNoFiles) {
  std::string table = "/dev/sda1 / ext4 rw 0 0\n";
  for (const char* kind :
       {"autofs", "binfmt_misc", "bpf",        "cgroup",     "cgroup2",   "configfs", "debugfs",
        "devpts", "devtmpfs",    "efivarfs",   "fusectl",    "hugetlbfs", "mqueue",   "nsfs",
        "proc",   "pstore",      "rpc_pipefs", "securityfs", "sysfs",     "tracefs",  "ramfs"}) {
    table += std::string("none /mnt/") + kind + " " + kind + " rw 0 0\n";
  }
  EXPECT_EQ(screen::RootsInMountTable(table), std::vector<screen::FsPath>{"/"});
}

// Without /proc there is no table to read.
TEST(MountTableTest, NoTableGivesTheRoot) {
  EXPECT_EQ(screen::RootsInMountTable(""), std::vector<screen::FsPath>{"/"});
}

// A folder reached through a link lies on the drive the link leads to.
TEST(DriveOfTest, FollowsLinks) {
  const ziz_test::TempDir folder;
  ziz_test::MakeFolder(folder / "c");
  ziz_test::MakeFolder(folder / "d");
  ASSERT_EQ(symlink((folder / "d").c_str(), (folder / "c/to-d").c_str()), 0);
  EXPECT_EQ(screen::DriveOf(folder / "c/to-d", {folder / "c", folder / "d"}), folder / "d");
}

// A folder that can be entered but no longer listed (mode 0311, after the
// model read it) is not taken, however it is reached: the user would see
// an empty folder. `event` says whether it was taken.
struct OnlyEnteredRow {
  const char* what;
  bool (*event)(screen::ScreenModel& model, const screen::FsPath& folder);
};

class OnlyEnteredTest : public ::testing::TestWithParam<OnlyEnteredRow> {};

TEST_P(OnlyEnteredTest, IsNotTaken) {
  const ziz_test::TempDir folder;
  ziz_test::MakeFolder(folder / "c");
  ziz_test::MakeFolder(folder / "d");
  if (ziz_test::IsRoot()) {
    ASSERT_EQ(chown((folder / "d").c_str(), ziz_test::kNobody, ziz_test::kNoGroup), 0);
  }
  const int status = ziz_test::InChild([&folder] {
    ziz_test::BecomeUnprivileged();
    screen::ScreenModel model(
        [&folder] {
          return std::vector<screen::FsPath>{folder / "c", folder / "d"};
        },
        folder / "c");
    if (model.drives().size() != 2) return 1;
    if (chmod((folder / "d").c_str(), 0311) != 0) return 2;
    const bool taken = GetParam().event(model, folder / "d");
    chmod((folder / "d").c_str(), 0755);
    if (taken) return 3;
    return model.folder() == folder / "c" ? 0 : 4;
  });
  EXPECT_EQ(status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Events, OnlyEnteredTest,
    ::testing::Values(
        OnlyEnteredRow{"OpenFolder", [](screen::ScreenModel& m,
                                        const screen::FsPath& d) { return m.OpenFolder(d); }},
        OnlyEnteredRow{"ChooseDrive", [](screen::ScreenModel& m,
                                         const screen::FsPath&) { return m.ChooseDrive(1); }},
        OnlyEnteredRow{"DriveList",
                       [](screen::ScreenModel& m, const screen::FsPath&) {
                         m.RefreshDrives();
                         return m.drives().size() != 1;
                       }}),
    [](const auto& row) { return std::string(row.param.what); });

}  // namespace
