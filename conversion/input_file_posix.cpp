#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "conversion/input_file.h"

namespace ravuvur {

std::string LongPath(std::string_view utf8Path) { return std::string(utf8Path); }

bool InputFile::Open(std::string_view utf8Path) {
  Close();
  const std::string path(utf8Path);
  // Opening some devices has side effects, so the name is first taken
  // without opening what it names (O_PATH), that is checked, and only that
  // very file is then opened for reading: a name swapped for a device in
  // between changes nothing.
  const int pathFd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
  if (pathFd < 0) return false;
  struct stat st {};
  int fd = -1;
  if (::fstat(pathFd, &st) == 0 && S_ISREG(st.st_mode)) {
    const std::string self = "/proc/self/fd/" + std::to_string(pathFd);
    fd = ::open(self.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    // Without /proc, the name again; O_NONBLOCK so that a pipe swapped in
    // meanwhile cannot block, the check below refusing it.
    if (fd < 0 && errno == ENOENT) {
      fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    }
  }
  ::close(pathFd);
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
