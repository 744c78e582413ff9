#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "conversion/movement_file.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

using ziz_test::TempDir;

// Every line the reader yields, until the end of the input.
std::vector<std::string> ReadAll(const std::string& bytes, std::size_t keep = 1000) {
  TempDir dir;
  ziz_test::WriteFile(dir / "in.dat", bytes);
  MovementFile file(keep);
  EXPECT_TRUE(file.Open(dir / "in.dat"));
  std::vector<std::string> lines;
  std::string_view line;
  while (file.ReadLine(line) == ReadResult::Line) lines.emplace_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(MovementFileTest, EndsLinesAtCrLfCrAndLf) {
  EXPECT_EQ(ReadAll("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(ReadAll("a\rb\rc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(ReadAll("a\nb\n"), (Lines{"a", "b"}));
  EXPECT_EQ(ReadAll("a\r\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(ReadAll("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR: two terminators
  EXPECT_EQ(ReadAll("a\r\r\nb"), (Lines{"a", "", "b"}));
}

TEST(MovementFileTest, LastTerminatorStartsNoEmptyLine) {
  EXPECT_EQ(ReadAll(""), Lines{});
  EXPECT_EQ(ReadAll("\r\n"), Lines{""});
  EXPECT_EQ(ReadAll("last"), Lines{"last"});
  EXPECT_EQ(ReadAll("last\r"), Lines{"last"});
}

TEST(MovementFileTest, CrLfSplitAcrossReadBlocksIsOneTerminator) {
  // The reader fills 64 KiB at a time; put the CR last in the first block.
  const std::string first(65535, 'a');
  EXPECT_EQ(ReadAll(first + "\r\nb", 5), (Lines{"aaaaa", "b"}));
  EXPECT_EQ(ReadAll(first + "\r", 5), (Lines{"aaaaa"}));
  EXPECT_EQ(ReadAll(first + "\r\r", 5), (Lines{"aaaaa", ""}));
}

TEST(MovementFileTest, KeepsOnlyTheFirstColumnsOfLongLines) {
  const std::string longLine = std::string(57, 'x') + std::string(200000, 'y');
  EXPECT_EQ(ReadAll(longLine + "\r\nnext", 57), (Lines{std::string(57, 'x'), "next"}));
}

TEST(MovementFileTest, EndOfInputLeavesTheLastLineInPlace) {
  TempDir dir;
  ziz_test::WriteFile(dir / "in.dat", "header\r\n");
  MovementFile file(100);
  ASSERT_TRUE(file.Open(dir / "in.dat"));
  std::string_view line;
  ASSERT_EQ(file.ReadLine(line), ReadResult::Line);
  EXPECT_EQ(file.ReadLine(line), ReadResult::End);
  EXPECT_EQ(file.ReadLine(line), ReadResult::End);
  EXPECT_EQ(line, "header");
}

TEST(MovementFileTest, RefusesWhatIsNotARegularFile) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  MovementFile file(100);
  EXPECT_FALSE(file.Open(dir.path()));    // a folder
  EXPECT_FALSE(file.Open(dir / "pipe"));  // must not block waiting for a writer
  EXPECT_FALSE(file.Open("/dev/null"));   // a device
  EXPECT_FALSE(file.Open(dir / "missing"));
  EXPECT_FALSE(file.IsOpen());
}

TEST(MovementFileTest, IdentityTellsTheSameFileThroughALink) {
  TempDir dir;
  ziz_test::WriteFile(dir / "a.dat", "x");
  ASSERT_EQ(::symlink("a.dat", (dir / "b.dat").c_str()), 0);
  MovementFile a(10), b(10);
  ASSERT_TRUE(a.Open(dir / "a.dat"));
  ASSERT_TRUE(b.Open(dir / "b.dat"));
  EXPECT_EQ(a.Identity().inode, b.Identity().inode);
  EXPECT_EQ(a.Identity().device, b.Identity().device);
}

}  // namespace
}  // namespace ravuvur
