#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "conversion/input_file.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

using ziz_test::TempDir;

TEST(InputFilePosixTest, RefusesPipesAndDevices) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  InputFile file;
  EXPECT_FALSE(file.Open(dir / "pipe"));  // must not block waiting for a writer
  EXPECT_FALSE(file.Open("/dev/null"));
  EXPECT_FALSE(file.IsOpen());
}

TEST(InputFilePosixTest, IdentityTellsTheSameFileThroughALink) {
  TempDir dir;
  ziz_test::WriteFile(dir / "a.dat", "x");
  ASSERT_EQ(::symlink("a.dat", (dir / "b.dat").c_str()), 0);
  InputFile a, b;
  ASSERT_TRUE(a.Open(dir / "a.dat"));
  ASSERT_TRUE(b.Open(dir / "b.dat"));
  EXPECT_EQ(a.Identity(), b.Identity());
}

}  // namespace
}  // namespace ravuvur
