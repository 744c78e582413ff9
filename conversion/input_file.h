#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ravuvur {

// Which file an open file is, so the run can tell when the CSV it is about
// to write would be the very file it reads (through a link, a second name,
// or a name that differs only in letter case). On Linux the device and
// inode numbers; on Windows the volume serial number and the file index.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The path as a file's long names spell it: on Windows, where a file may
// also be named by a short 8.3 alias ("MOVI~4ZG.DAT" for "movimento
// longo.dat"), a path through such an alias gives the long one, so that a
// file is converted under its own name and never gets a second CSV named
// after its alias. Any other path (one naming no file, a device, a path
// that differs only in letter case) comes back as it is, as it always
// does elsewhere.
std::string LongPath(std::string_view utf8Path);

// Whether `file` is one of `files` (the inputs of a report, say).
inline bool IsOneOf(const FileIdentity& file, std::span<const FileIdentity> files) noexcept {
  return std::find(files.begin(), files.end(), file) != files.end();
}

// The movement file's bytes, read in order from the start. The line
// splitting on top of it is the same everywhere; this is the part each
// platform provides (input_file_posix.cpp, input_file_windows.cpp).
class InputFile {
 public:
  InputFile() = default;
  ~InputFile() { Close(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens a regular file named by a UTF-8 path. Folders, pipes and devices
  // are refused without blocking (a pipe with no writer would otherwise
  // hang the window) and without side effects of opening them.
  bool Open(std::string_view utf8Path);
  bool IsOpen() const noexcept { return handle_ != kClosed; }
  FileIdentity Identity() const noexcept { return identity_; }

  // Reads up to `size` bytes into `into`: the number read, 0 at the end of
  // the file, -1 on a read error.
  std::ptrdiff_t Read(char* into, std::size_t size) noexcept;
  void Close() noexcept;

 private:
  static constexpr std::intptr_t kClosed = -1;  // no descriptor, INVALID_HANDLE_VALUE
  std::intptr_t handle_ = kClosed;
  FileIdentity identity_;
};

}  // namespace ravuvur
