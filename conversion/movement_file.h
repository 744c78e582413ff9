#pragma once

#include <sys/types.h>
#include <cstddef>
#include <memory>
#include <string>

namespace ravuvur {

// Which file an open descriptor is, so the run can tell when the CSV it is
// about to write would be the very file it reads (through a link, or a name
// that differs only in letter case).
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
};

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
  bool Open(const std::string& path);
  bool IsOpen() const noexcept { return fd_ >= 0; }
  FileIdentity Identity() const noexcept { return identity_; }

  // Reads the next line into `line`. At the end of the input, or on a read
  // error, `line` keeps what it held.
  ReadResult ReadLine(std::string& line);
  void Close() noexcept;

 private:
  bool Fill();

  std::size_t keep_;
  int fd_ = -1;
  FileIdentity identity_;
  std::unique_ptr<char[]> buffer_;
  std::string scratch_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool error_ = false;
  bool skipLineFeed_ = false;  // the last line ended with a CR at a buffer's end
};

}  // namespace ravuvur
