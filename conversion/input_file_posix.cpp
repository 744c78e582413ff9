#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <string>

#include "conversion/input_file.h"

namespace ravuvur {
namespace {

// This process's /proc/self/fd, held, so that reopening a descriptor by
// its number looks up one name instead of walking /proc/self again for
// every file; -1 without /proc. A child made by fork would inherit the
// parent's, which names the parent's descriptors: the process number kept
// beside it tells, and the child opens its own.
int ProcessDescriptors() {
  static std::atomic<std::uint64_t> held{0};  // process number << 32 | descriptor + 1
  const auto me = static_cast<std::uint64_t>(::getpid());
  std::uint64_t now = held.load();
  if (now >> 32 == me) return static_cast<int>(now & 0xFFFFFFFFu) - 1;
  const int fd = ::open("/proc/self/fd", O_PATH | O_DIRECTORY | O_CLOEXEC);
  const std::uint64_t mine = me << 32 | static_cast<std::uint64_t>(fd + 1);
  if (held.compare_exchange_strong(now, mine)) {
    // The parent's, inherited; nobody here uses it.
    if (now != 0 && static_cast<int>(now & 0xFFFFFFFFu) > 0) {
      ::close(static_cast<int>(now & 0xFFFFFFFFu) - 1);
    }
    return fd;
  }
  if (fd >= 0) ::close(fd);  // another thread was first
  return static_cast<int>(now & 0xFFFFFFFFu) - 1;
}

}  // namespace

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
  bool byName = false;
  if (::fstat(pathFd, &st) == 0 && S_ISREG(st.st_mode)) {
    const int descriptors = ProcessDescriptors();
    errno = ENOENT;
    if (descriptors >= 0) {
      fd = ::openat(descriptors, std::to_string(pathFd).c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    }
    // Without /proc, the name again; O_NONBLOCK so that a pipe swapped in
    // meanwhile cannot block, the check below refusing it.
    if (fd < 0 && errno == ENOENT) {
      fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
      byName = true;
    }
  }
  ::close(pathFd);
  if (fd < 0) return false;
  // Opened through its descriptor, it is the very file checked; opened by
  // its name again, it may be another.
  if (byName && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
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
