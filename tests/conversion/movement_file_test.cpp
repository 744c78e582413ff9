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

TEST(MovementFileTest, ShortLastLineRightAfterAFullBlockIsOnlyItself) {
  // The first 64 KiB end with a terminator; what the buffer held past the
  // short last line must not be taken for part of it.
  std::string block;
  Lines lines;
  while (block.size() < 65536 - 100) {
    lines.emplace_back("0123456789");
    block += "0123456789\r\n";
  }
  lines.emplace_back(65536 - block.size() - 2, 'x');
  block += lines.back() + "\r\n";
  ASSERT_EQ(block.size(), 65536u);
  lines.emplace_back("SHORT");
  EXPECT_EQ(ReadAll(block + "SHORT"), lines);
}

TEST(MovementFileTest, LinesOfEveryLengthAndTerminatorCrossBlocksIntact) {
  constexpr const char* kTerminators[] = {"\r\n", "\n", "\r"};
  std::string bytes;
  Lines lines;
  for (std::size_t i = 0; bytes.size() < 200000; ++i) {
    lines.push_back(std::string(1 + (i * 7) % 90, static_cast<char>('a' + i % 26)));
    bytes += lines.back() + kTerminators[i % 3];
  }
  EXPECT_EQ(ReadAll(bytes), lines);
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
