#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "conversion/input_file.h"

namespace ravuvur {

enum class ReadResult { Line, End, Error };

// A movement file opened for sequential reading, line by line. A line ends
// at CR LF, at a CR alone or at an LF alone; the last line needs no
// terminator, and a terminator at the very end does not start an empty
// line. Only the first `keep` bytes of a line are kept (nothing past column
// 57 is ever read), so memory stays small whatever the line length.
class MovementFile {
 public:
  explicit MovementFile(std::size_t keep);
  ~MovementFile();
  MovementFile(const MovementFile&) = delete;
  MovementFile& operator=(const MovementFile&) = delete;

  // Opens a regular file. Folders, pipes and devices are refused without
  // blocking (a pipe with no writer would otherwise hang the window).
  bool Open(std::string_view path);
  bool IsOpen() const noexcept { return file_.IsOpen(); }
  FileIdentity Identity() const noexcept { return file_.Identity(); }

  // Reads the next line: `line` then shows its first `keep` bytes (all of
  // it when shorter), without its terminator, until the next call. At the
  // end of the input, or on a read error, `line` is left alone.
  ReadResult ReadLine(std::string_view& line);
  void Close() noexcept;

 private:
  bool Fill();
  void SkipTerminator(const char* at) noexcept;

  std::size_t keep_;
  InputFile file_;
  std::unique_ptr<char[]> buffer_;
  std::string scratch_;  // a line that runs past the end of the buffer
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool error_ = false;
  bool skipLineFeed_ = false;  // the last line ended with a CR at a buffer's end
};

}  // namespace ravuvur
