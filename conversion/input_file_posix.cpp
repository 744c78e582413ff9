#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "conversion/input_file.h"

namespace ravuvur {

bool InputFile::Open(std::string_view utf8Path) {
  Close();
  const std::string path(utf8Path);
  // Look before opening: opening some devices has side effects.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // O_NONBLOCK so that a file swapped for a pipe meanwhile cannot block;
  // the check after opening refuses it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  handle_ = fd;
  identity_ = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  return true;
}

std::ptrdiff_t InputFile::Read(char* into, std::size_t size) noexcept {
  for (;;) {
    const ssize_t n = ::read(static_cast<int>(handle_), into, size);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

void InputFile::Close() noexcept {
  if (handle_ != kClosed) ::close(static_cast<int>(handle_));
  handle_ = kClosed;
}

}  // namespace ravuvur
