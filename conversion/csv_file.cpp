#include "conversion/csv_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace ravuvur {
namespace {

constexpr std::size_t kFlushSize = std::size_t{64} * 1024;
// Room for the temporary name's prefix and suffix within NAME_MAX.
constexpr std::size_t kMaxNameInTemporary = 200;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name no other run uses: hidden, beside the CSV, so the rename that puts
// it in place stays within one file system.
std::string TemporaryName(const std::string& target, unsigned attempt) {
  const auto ticks =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::string name = NameOf(target).substr(0, kMaxNameInTemporary);
  return FolderOf(target) + "/." + name + "." + std::to_string(::getpid()) + "-" +
         std::to_string((ticks ^ (ticks >> 17)) % 1000000 + attempt) + ".tmp";
}

}  // namespace

CsvFile::~CsvFile() { Discard(); }

CsvFile::CreateResult CsvFile::Create(const std::string& csvPath, const FileIdentity& input) {
  Discard();  // also empties the buffer
  failed_ = false;
  target_ = csvPath;

  struct stat st {};
  if (::stat(csvPath.c_str(), &st) == 0) {
    if (st.st_dev == input.device && st.st_ino == input.inode) return CreateResult::SameAsInput;
    if (!S_ISREG(st.st_mode) || ::access(csvPath.c_str(), W_OK) != 0) {
      return CreateResult::CannotCreate;
    }
    // Replace what a link points at, as truncating through it would.
    if (char* real = ::realpath(csvPath.c_str(), nullptr)) {
      target_ = real;
      std::free(real);
    }
  } else if (errno != ENOENT) {
    return CreateResult::CannotCreate;
  }

  // Mode 0666 less the umask: the CSV gets the permissions a plainly
  // created file would get, not those of a private temporary file.
  for (unsigned attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
    temporary_ = TemporaryName(target_, attempt);
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    temporary_.clear();
    return CreateResult::CannotCreate;
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, &previousSizeSignal_);
  return CreateResult::Created;
}

void CsvFile::FlushIfFull() {
  if (buffer_.size() >= kFlushSize) Flush();
}

void CsvFile::Flush() {
  std::string_view rest = buffer_;
  while (!rest.empty() && !failed_) {
    const ssize_t n = ::write(fd_, rest.data(), rest.size());
    if (n > 0) {
      rest.remove_prefix(static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      failed_ = true;  // disk full, file too large, I/O error
    }
  }
  buffer_.clear();
}

bool CsvFile::Commit() {
  if (fd_ < 0) return false;
  Flush();
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  RestoreSignal();
  if (failed_ || !closed || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
    return false;
  }
  temporary_.clear();
  return true;
}

void CsvFile::Discard() noexcept {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
    RestoreSignal();
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
  buffer_.clear();
}

void CsvFile::RestoreSignal() noexcept { ::sigaction(SIGXFSZ, &previousSizeSignal_, nullptr); }

}  // namespace ravuvur
