#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>

#include "conversion/csv_file.h"

namespace ravuvur {
namespace {

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

// While the file is open the file-size-limit signal is ignored, so a write
// past the limit fails like any other write instead of killing the process.
struct CsvFile::Pending {
  int fd = -1;
  std::string target;
  std::string temporary;
  struct sigaction previousSizeSignal {};

  ~Pending() {
    if (fd >= 0) ::close(fd);
    ::sigaction(SIGXFSZ, &previousSizeSignal, nullptr);
    if (!temporary.empty()) ::unlink(temporary.c_str());
  }
};

CsvFile::CsvFile() = default;
CsvFile::~CsvFile() { Discard(); }

CsvFile::CreateResult CsvFile::Create(std::string_view csvPath, const FileIdentity& input) {
  Discard();  // also empties the buffer
  failed_ = false;
  auto pending = std::make_unique<Pending>();
  pending->target = csvPath;

  struct stat st {};
  if (::stat(pending->target.c_str(), &st) == 0) {
    if (FileIdentity{st.st_dev, st.st_ino} == input) return CreateResult::SameAsInput;
    if (!S_ISREG(st.st_mode) || ::access(pending->target.c_str(), W_OK) != 0) {
      return CreateResult::CannotCreate;
    }
    // Replace what a link points at, as truncating through it would.
    if (char* real = ::realpath(pending->target.c_str(), nullptr)) {
      pending->target = real;
      std::free(real);
    }
  } else if (errno != ENOENT) {
    return CreateResult::CannotCreate;
  }

  // Mode 0666 less the umask: the CSV gets the permissions a plainly
  // created file would get, not those of a private temporary file.
  for (unsigned attempt = 0; attempt < 16 && pending->fd < 0; ++attempt) {
    pending->temporary = TemporaryName(pending->target, attempt);
    pending->fd = ::open(pending->temporary.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (pending->fd < 0 && errno != EEXIST) break;
  }
  if (pending->fd < 0) {
    pending->temporary.clear();
    return CreateResult::CannotCreate;
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, &pending->previousSizeSignal);
  pending_ = std::move(pending);
  return CreateResult::Created;
}

void CsvFile::Flush() {
  std::string_view rest = buffer_;
  while (!rest.empty() && !failed_) {
    const ssize_t n = ::write(pending_->fd, rest.data(), rest.size());
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

CsvFile::CommitResult CsvFile::Commit() {
  if (!pending_) return CommitResult::WriteFailed;
  Flush();
  const bool closed = ::close(pending_->fd) == 0;
  pending_->fd = -1;
  CommitResult result = CommitResult::Committed;
  if (failed_ || !closed) {
    result = CommitResult::WriteFailed;
  } else if (::rename(pending_->temporary.c_str(), pending_->target.c_str()) != 0) {
    result = CommitResult::CannotReplace;
  } else {
    pending_->temporary.clear();
  }
  pending_.reset();
  return result;
}

void CsvFile::Discard() noexcept {
  pending_.reset();
  buffer_.clear();
}

}  // namespace ravuvur
