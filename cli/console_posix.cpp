#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cli/console.h"

namespace dta2csv {
namespace {

int lastError = 0;

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // A pipe or terminal another program has made non-blocking: its
      // reader is only slower than we are, so wait for room rather than
      // call the log lost. The flag is the other program's; it stays.
      struct pollfd room = {fd, POLLOUT, 0};
      if (::poll(&room, 1, -1) < 0 && errno != EINTR) {
        lastError = errno;
        return false;
      }
    } else {
      lastError = n < 0 ? errno : EIO;
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  // File names are bytes here; they go to the engine exactly as given.
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::vector<std::string> FilesNamedBy(const std::string& argument) { return {argument}; }

void PrepareConsole() {
  // A standard descriptor the caller closed (dta2csv 1>&-) would go to the
  // first file we open, and the log would be written into it, perhaps into
  // the new CSV itself. Each closed one is opened on /dev/null first, which
  // takes its number.
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF &&
        ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) != fd) {
      ::_exit(3);  // nowhere to say why, and nothing done yet
    }
  }
  // A log past the file-size limit (ulimit -f) fails like any other write,
  // with its reason, instead of ending the process mid-line.
  std::signal(SIGXFSZ, SIG_IGN);
  // The log's time text follows the user's locale (LC_ALL / LC_TIME).
  std::setlocale(LC_ALL, "");
}

bool WriteStdout(std::string_view bytes) { return WriteAll(STDOUT_FILENO, bytes); }
bool WriteStderr(std::string_view bytes) { return WriteAll(STDERR_FILENO, bytes); }
std::string LastErrorText() { return std::strerror(lastError); }

std::size_t FilesItMayOpen() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  // Those open now: the standard three and whatever the caller left open
  // (the count takes in the folder read for it too). Without /proc, the
  // standard three and a few to spare.
  std::error_code error;
  std::size_t open = 0;
  for (std::filesystem::directory_iterator fd("/proc/self/fd", error), end; !error && fd != end;
       fd.increment(error)) {
    ++open;
  }
  if (error || open == 0) open = 8;
  if (limit.rlim_cur == RLIM_INFINITY) return SIZE_MAX;
  return limit.rlim_cur > open ? static_cast<std::size_t>(limit.rlim_cur) - open : 0;
}

}  // namespace dta2csv
