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

}  // namespace
