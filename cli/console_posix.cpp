#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>

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
  // The log's time text follows the user's locale (LC_ALL / LC_TIME).
  std::setlocale(LC_ALL, "");
}

bool WriteStdout(std::string_view bytes) { return WriteAll(STDOUT_FILENO, bytes); }
bool WriteStderr(std::string_view bytes) { return WriteAll(STDERR_FILENO, bytes); }
std::string LastErrorText() { return std::strerror(lastError); }

}  // namespace dta2csv
