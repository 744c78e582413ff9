#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

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

TEST(InputFilePosixTest, NameSwappedForAPipeNeverOpensThePipe) {
  // Another process swaps the name between a file and a link to a pipe
  // while it is opened over and over; the pipe stands for any device whose
  // opening has side effects, and inotify tells whether it was ever opened.
  TempDir dir;
  const std::string name = dir / "mov.dat";
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(::inotify_add_watch(watch, (dir / "pipe").c_str(), IN_OPEN), 0);
  ziz_test::WriteFile(name, "x");
  ASSERT_EQ(::symlink("pipe", (dir / "link").c_str()), 0);
  std::atomic<bool> stop = false;
  std::thread swapper([&] {
    // Each exchange swaps the two names in one step.
    while (!stop)
      ::renameat2(AT_FDCWD, name.c_str(), AT_FDCWD, (dir / "link").c_str(), RENAME_EXCHANGE);
  });
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int opened = 0;
  while (std::chrono::steady_clock::now() < end) {
    InputFile file;
    if (file.Open(name)) ++opened;
  }
  stop = true;
  swapper.join();
  char events[4096];
  EXPECT_EQ(::read(watch, events, sizeof events), -1) << "the pipe was opened";
  ::close(watch);
  EXPECT_GT(opened, 10) << "the file was really opened between the swaps";
}

}  // namespace
}  // namespace ravuvur
