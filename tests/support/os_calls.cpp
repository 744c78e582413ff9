// Definitions that take the place of the C library's for the program they
// are linked into; each hands on to the library's own (found with
// RTLD_NEXT) unless a test has asked for something else.

#include "tests/support/os_calls.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>

namespace {

namespace os = ziz_test::os_calls;

template <typename Function>
Function* Real(const char* name) {
  return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

bool IsRegular(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

void NoteFlush(int fd) {
  const bool regular = IsRegular(fd);
  os::flushes += regular ? 'F' : 'D';
  if (regular && os::beforeFileFlush) os::beforeFileFlush();
}

}  // namespace

// The C library's headers name the parameters with reserved names, which
// a definition here may not use.
extern "C" {

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
ssize_t read(int fd, void* into, size_t size) {
  static auto* const real = Real<ssize_t(int, void*, size_t)>("read");
  if (os::failingRead > 0 && IsRegular(fd) && ++os::readsSoFar == os::failingRead) {
    errno = os::readError;
    return -1;
  }
  return real(fd, into, size);
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
int openat(int folder, const char* path, int flags, ...) {
  static auto* const real = Real<int(int, const char*, int, ...)>("openat");
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
    va_list rest;
    va_start(rest, flags);
    mode = va_arg(rest, mode_t);
    va_end(rest);
  }
  if (os::noUnnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
    errno = EOPNOTSUPP;
    return -1;
  }
  if ((flags & O_EXCL) != 0) {
    os::exclusiveNames.emplace_back(path);
    if (os::namesTaken > 0) {
      --os::namesTaken;
      errno = EEXIST;
      return -1;
    }
  }
  const int fd = real(folder, path, flags, mode);
  struct stat made {};
  if ((flags & O_CREAT) != 0 && fd >= 0 && ::fstat(fd, &made) == 0) {
    os::created.emplace_back(path);
    os::createdModes.push_back(made.st_mode & 07777);
  }
  return fd;
}

int fsync(int fd) {
  static auto* const real = Real<int(int)>("fsync");
  NoteFlush(fd);
  return real(fd);
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
int fdatasync(int fd) {
  static auto* const real = Real<int(int)>("fdatasync");
  NoteFlush(fd);
  return real(fd);
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
ssize_t getrandom(void* into, size_t size, unsigned flags) {
  static auto* const real = Real<ssize_t(void*, size_t, unsigned)>("getrandom");
  if (os::noRandom) {
    errno = EAGAIN;
    return -1;
  }
  return real(into, size, flags);
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
  static auto* const real = Real<int(int, const char*, int, const char*, int)>("linkat");
  if (os::failingLink > 0 && ++os::linksSoFar == os::failingLink) {
    errno = ENOSPC;
    return -1;
  }
  return real(fromFolder, from, toFolder, to, flags);
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
int fallocate(int fd, int mode, off_t offset, off_t length) {
  static auto* const real = Real<int(int, int, off_t, off_t)>("fallocate");
  if (os::fallocateError != 0) {
    errno = os::fallocateError;
    return -1;
  }
  return real(fd, mode, offset, length);
}

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
time_t time(time_t* out) noexcept {
  static auto* const real = Real<time_t(time_t*) noexcept>("time");
  if (os::now < 0) return real(out);
  if (out != nullptr) *out = os::now;
  return os::now;
}

}  // extern "C"
