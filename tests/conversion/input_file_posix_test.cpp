#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <thread>

#include "conversion/input_file.h"
#include "tests/support/child_process.h"
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

TEST(InputFilePosixTest, AProcessMadeByForkReadsTheFileItNamesNotItsParents) {
  // A file is reopened through its descriptor's number; a child made by
  // fork must look that number up among its own descriptors, also where
  // its parent holds another file under the same number.
  TempDir dir;
  ziz_test::WriteFile(dir / "pai.dat", "parent");
  ziz_test::WriteFile(dir / "filho.dat", "child");
  InputFile before;  // the parent has opened files before
  ASSERT_TRUE(before.Open(dir / "pai.dat"));
  before.Close();
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    char byte = 0;
    if (::read(go[0], &byte, 1) != 1) ::_exit(3);
    InputFile file;
    if (!file.Open(dir / "filho.dat")) ::_exit(2);
    char text[16] = {};
    const std::ptrdiff_t n = file.Read(text, sizeof text);
    ::_exit(std::string_view(text, n > 0 ? static_cast<std::size_t>(n) : 0) == "child" ? 0 : 1);
  }
  // The parent's next descriptor has the number the child's next one gets.
  const int held = ::open((dir / "pai.dat").c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_EQ(::write(go[1], "g", 1), 1);
  EXPECT_EQ(ziz_test::WaitFor(child), 0);
  ::close(held);
  ::close(go[0]);
  ::close(go[1]);
}

}  // namespace
}  // namespace ravuvur
