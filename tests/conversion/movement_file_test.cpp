#include <gtest/gtest.h>

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

// Pipes, devices and links differ by platform: input_file_posix_test.cpp,
// windows/input_paths_test.cpp.
TEST(MovementFileTest, RefusesFoldersAndMissingFiles) {
  TempDir dir;
  MovementFile file(100);
  EXPECT_FALSE(file.Open(dir.path()));
  EXPECT_FALSE(file.Open(dir / "missing"));
  EXPECT_FALSE(file.IsOpen());
}

}  // namespace
}  // namespace ravuvur
