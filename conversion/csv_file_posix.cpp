// Committing the CSV on Linux and other POSIX systems. What it guarantees,
// and how:
//
// - What is checked is what is replaced. The CSV's folder is opened once
//   and held; every later look at the CSV's name and the final replacement
//   are made relative to that descriptor, never by path again, and the
//   name is looked at without following links. The replacement renames a
//   directory entry: it never writes into whatever file the name may point
//   to by then, so a name swapped between the check and the commit cannot
//   redirect the new CSV onto the input, a device or someone's private file.
// - A symbolic link at the CSV's name: the file it points to is replaced
//   and the link kept (as truncating through it did), but only a link the
//   kernel's protected-symlink rule would let us follow: in a sticky,
//   world-writable folder the link must belong to us or to the folder's
//   owner. Any other link, and any chain longer than kMaxLinks, is refused.
//   The link's text is read once and its target's folder opened relative
//   to the link's own folder.
// - Nothing is left behind. Rows go to an unnamed file in the CSV's folder
//   (O_TMPFILE) that gets a name only when complete, so even SIGKILL leaves
//   nothing. Where the file system cannot make one, a hidden named file is
//   used and removed on failure, on an exception, and on SIGINT, SIGTERM,
//   SIGHUP, SIGQUIT and SIGPIPE.
// - On disk before in place: the new file's data is flushed (fdatasync)
//   before it takes the CSV's place, and the folder after.
// - The earlier CSV's permission bits are kept, and its owner and group
//   where the process may set them (group bits a group we cannot give the
//   file would have had are cut to what others may do).
// - Other hard links to the earlier CSV keep the earlier content: the CSV's
//   name gets a new file, the old one is never written into.
// - Where no new file can be made beside the CSV (a folder we may not
//   write, or a sticky folder where the CSV is someone else's) but the CSV
//   itself is writable, it is written in place. The rows are then held in
//   memory (a CSV never grows past a few megabytes: only 57 columns of each
//   of at most 32767 records are read) and written over the CSV only once
//   the run has succeeded, so the earlier CSV survives every failure but a
//   failing final write.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <iterator>
#include <optional>
#include <utility>

#include "conversion/csv_file.h"

namespace ravuvur {
namespace {

// Links followed at the CSV's name before giving up, as the kernel's own
// limit on nested links keeps a loop from running forever.
constexpr int kMaxLinks = 8;

bool useNamedTemporary = false;

class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~Descriptor() { reset(); }

  int get() const noexcept { return fd_; }
  bool valid() const noexcept { return fd_ >= 0; }
  int release() noexcept { return std::exchange(fd_, -1); }
  void reset(int fd = -1) noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

// Opens a folder to work relative to. A folder we may search but not read
// still gets a descriptor (O_PATH), only without the flush of the folder.
Descriptor OpenFolder(int at, const std::string& path) {
  const int fd = ::openat(at, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0 || errno != EACCES) return Descriptor(fd);
  return Descriptor(::openat(at, path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// "a/b/NAME" -> {"a/b", "NAME"}; "NAME" -> {".", "NAME"}; "/NAME" -> {"/", "NAME"}.
std::pair<std::string, std::string> SplitPath(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {".", std::string(path)};
  return {std::string(path.substr(0, slash == 0 ? 1 : slash)), std::string(path.substr(slash + 1))};
}

// The kernel's protected-symlink rule: in a sticky, world-writable folder a
// link is followed only by its owner or when it belongs to the folder's
// owner.
bool MayFollow(const struct stat& link, const struct stat& folder) {
  const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
  return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

// Whether a rename over `csv` in `folder` will be refused: in a sticky
// folder only the owner of the file or of the folder (or a privileged
// process) may replace an entry.
bool StickyRefusesRename(const struct stat& csv, const struct stat& folder) {
  const uid_t me = ::geteuid();
  return (folder.st_mode & S_ISVTX) != 0 && me != 0 && csv.st_uid != me && folder.st_uid != me;
}

// --- Removal of a named temporary file when a signal ends the process ---

struct PendingName {
  int folder = -1;
  char name[NAME_MAX + 1] = {};
};
volatile std::sig_atomic_t nameRegistered = 0;
PendingName pendingName;

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};
struct sigaction previousActions[std::size(kCleanupSignals)];

extern "C" void RemovePendingAndResignal(int signal) {
  if (nameRegistered != 0) ::unlinkat(pendingName.folder, pendingName.name, 0);
  // Die of the same signal, so the caller sees what happened.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

void RegisterPendingName(int folder, const std::string& name) {
  pendingName.folder = folder;
  std::snprintf(pendingName.name, sizeof pendingName.name, "%s", name.c_str());
  nameRegistered = 1;
  for (std::size_t k = 0; k < std::size(kCleanupSignals); ++k) {
    struct sigaction action {};
    action.sa_handler = RemovePendingAndResignal;
    sigfillset(&action.sa_mask);
    ::sigaction(kCleanupSignals[k], nullptr, &previousActions[k]);
    // A signal the process ignores (nohup) stays ignored.
    if (previousActions[k].sa_handler != SIG_IGN) {
      ::sigaction(kCleanupSignals[k], &action, nullptr);
    }
  }
}

void UnregisterPendingName() noexcept {
  for (std::size_t k = 0; k < std::size(kCleanupSignals); ++k) {
    ::sigaction(kCleanupSignals[k], &previousActions[k], nullptr);
  }
  nameRegistered = 0;
}

// Holds back the signals that end a process while a name is being put in
// place, so a Ctrl-C cannot fall between two steps that must go together.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : kCleanupSignals) sigaddset(&held, signal);
    ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
  }
  ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

// A hidden name beside the CSV that no other run uses. Short, so that it
// never makes a path too long where the CSV's own path fits.
std::string TemporaryName(unsigned attempt) {
  static unsigned counter = 0;
  return ".dta2csv-" + std::to_string(::getpid()) + "-" + std::to_string(++counter + attempt) +
         ".tmp";
}

}  // namespace

struct CsvFile::Pending {
  enum class Kind { Unnamed, Named, InPlace };

  Kind kind = Kind::Unnamed;
  Descriptor folder;                   // where the CSV's name is, held from check to commit
  std::string name;                    // the CSV's name in `folder`
  Descriptor file;                     // the new file, or the CSV itself when in place
  std::optional<struct stat> earlier;  // the CSV found at `name`, if any
  std::string temporary;               // the named file's name, while it has one
  struct sigaction previousSizeSignal {};

  Pending() {
    // A write past the file-size limit then fails like any other write
    // instead of killing the process.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &previousSizeSignal);
  }
  ~Pending() {
    if (!temporary.empty()) {
      ::unlinkat(folder.get(), temporary.c_str(), 0);
      UnregisterPendingName();
    }
    ::sigaction(SIGXFSZ, &previousSizeSignal, nullptr);
  }
  Pending(const Pending&) = delete;
  Pending& operator=(const Pending&) = delete;

  CreateResult Resolve(std::string_view csvPath, const FileIdentity& input);
  CreateResult OpenNewFile();
  CreateResult OpenInPlace();
  void KeepOwnerAndMode() const;
  bool WriteAll(std::string_view bytes, off_t at) const;
  CommitResult PutInPlace(std::string_view heldRows);
  bool LinkUnnamed(const std::string& as) const;
};

// Finds what the CSV's name stands for, following links as allowed, and
// decides whether it may be replaced.
CsvFile::CreateResult CsvFile::Pending::Resolve(std::string_view csvPath,
                                                const FileIdentity& input) {
  auto [folderPath, base] = SplitPath(csvPath);
  folder = OpenFolder(AT_FDCWD, folderPath);
  name = std::move(base);
  if (!folder.valid() || name.empty()) return CreateResult::CannotCreate;

  for (int links = 0;; ++links) {
    struct stat st {};
    if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      return errno == ENOENT ? CreateResult::Created : CreateResult::CannotCreate;
    }
    if (S_ISREG(st.st_mode)) {
      if (FileIdentity{st.st_dev, st.st_ino} == input) return CreateResult::SameAsInput;
      // A read-only CSV is its owner's way of keeping it; refuse as
      // truncating it would have been refused.
      if (::faccessat(folder.get(), name.c_str(), W_OK, AT_EACCESS) != 0) {
        return CreateResult::CannotCreate;
      }
      earlier = st;
      return CreateResult::Created;
    }
    if (!S_ISLNK(st.st_mode) || links == kMaxLinks) return CreateResult::CannotCreate;

    struct stat folderStat {};
    if (::fstat(folder.get(), &folderStat) != 0 || !MayFollow(st, folderStat)) {
      return CreateResult::CannotCreate;
    }
    char target[PATH_MAX];
    const ssize_t length = ::readlinkat(folder.get(), name.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof target) {
      return CreateResult::CannotCreate;
    }
    auto [targetFolder, targetName] =
        SplitPath(std::string_view(target, static_cast<std::size_t>(length)));
    Descriptor next = OpenFolder(folder.get(), targetFolder);
    if (!next.valid() || targetName.empty()) return CreateResult::CannotCreate;
    folder = std::move(next);
    name = std::move(targetName);
  }
}

CsvFile::CreateResult CsvFile::Pending::OpenNewFile() {
  struct stat folderStat {};
  if (earlier && ::fstat(folder.get(), &folderStat) == 0 &&
      StickyRefusesRename(*earlier, folderStat)) {
    return OpenInPlace();
  }
  // 0666 less the umask (and the folder's default ACL), as for any new
  // file; an earlier CSV's mode replaces it below.
  constexpr mode_t kMode = 0666;
  if (!useNamedTemporary) {
    file.reset(::openat(folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, kMode));
  }
  int error = errno;
  // Without unnamed files (an old kernel, a file system that has none), a
  // hidden named one.
  if (!file.valid() &&
      (useNamedTemporary || error == EOPNOTSUPP || error == EISDIR || error == EINVAL)) {
    kind = Kind::Named;
    for (unsigned attempt = 0; attempt < 16 && !file.valid(); ++attempt) {
      temporary = TemporaryName(attempt);
      SignalsHeld held;  // no moment where the file exists but is not registered
      file.reset(::openat(folder.get(), temporary.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, kMode));
      error = errno;
      if (file.valid()) RegisterPendingName(folder.get(), temporary);
      if (!file.valid() && error != EEXIST) break;
    }
    if (!file.valid()) temporary.clear();
  }
  if (!file.valid()) {
    const bool mayNotCreateHere = error == EACCES || error == EPERM;
    return earlier && mayNotCreateHere ? OpenInPlace() : CreateResult::CannotCreate;
  }
  KeepOwnerAndMode();
  return CreateResult::Created;
}

CsvFile::CreateResult CsvFile::Pending::OpenInPlace() {
  kind = Kind::InPlace;
  file.reset(::openat(folder.get(), name.c_str(),
                      O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat st {};
  // The file opened must be the one checked, not one swapped in since.
  if (!file.valid() || ::fstat(file.get(), &st) != 0 || st.st_dev != earlier->st_dev ||
      st.st_ino != earlier->st_ino) {
    return CreateResult::CannotCreate;
  }
  return CreateResult::Created;
}

void CsvFile::Pending::KeepOwnerAndMode() const {
  if (!earlier) return;
  mode_t mode = earlier->st_mode & 0777;
  if (earlier->st_uid != ::geteuid() || earlier->st_gid != ::getegid()) {
    if (::fchown(file.get(), earlier->st_uid, earlier->st_gid) != 0 &&
        ::fchown(file.get(), static_cast<uid_t>(-1), earlier->st_gid) != 0) {
      // The group could not be given: its rights must not pass to ours,
      // which gets no more than everyone else.
      const mode_t others = mode & 07;
      mode = (mode & ~mode_t{070}) | (mode & (others << 3));
    }
  }
  ::fchmod(file.get(), mode);
}

bool CsvFile::Pending::WriteAll(std::string_view bytes, off_t at) const {
  while (!bytes.empty()) {
    const ssize_t n = at < 0 ? ::write(file.get(), bytes.data(), bytes.size())
                             : ::pwrite(file.get(), bytes.data(), bytes.size(), at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // disk full, file too large, I/O error
    bytes.remove_prefix(static_cast<std::size_t>(n));
    if (at >= 0) at += n;
  }
  return true;
}

// Names the complete unnamed file. /proc gives any process a path to it;
// without /proc, a privileged process can link the descriptor itself.
bool CsvFile::Pending::LinkUnnamed(const std::string& as) const {
  const std::string self = "/proc/self/fd/" + std::to_string(file.get());
  if (::linkat(AT_FDCWD, self.c_str(), folder.get(), as.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    return true;
  }
  return errno == ENOENT && ::linkat(file.get(), "", folder.get(), as.c_str(), AT_EMPTY_PATH) == 0;
}

CsvFile::CommitResult CsvFile::Pending::PutInPlace(std::string_view heldRows) {
  if (kind == Kind::InPlace) {
    // Written over from the start, then cut to length: where the new CSV is
    // no longer than the old, a full disk cannot fail the write.
    if (!WriteAll(heldRows, 0) ||
        ::ftruncate(file.get(), static_cast<off_t>(heldRows.size())) != 0 ||
        ::fdatasync(file.get()) != 0) {
      return CommitResult::WriteFailed;
    }
    return CommitResult::Committed;
  }
  if (::fdatasync(file.get()) != 0) return CommitResult::WriteFailed;

  bool placed = false;
  {
    SignalsHeld held;  // the steps below leave a name behind if cut apart
    if (kind == Kind::Named) {
      placed = ::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) == 0;
    } else if (!earlier && LinkUnnamed(name)) {
      placed = true;  // nothing to replace: the file gets its name at once
    } else {
      temporary = TemporaryName(0);
      if (LinkUnnamed(temporary)) {
        placed = ::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) == 0;
        if (!placed) ::unlinkat(folder.get(), temporary.c_str(), 0);
      }
      temporary.clear();
    }
    if (placed && kind == Kind::Named) {
      temporary.clear();
      UnregisterPendingName();
    }
  }
  if (!placed) return CommitResult::CannotReplace;
  ::fsync(folder.get());  // the new name on disk; not possible on an O_PATH folder
  return CommitResult::Committed;
}

void CsvFile::UseNamedTemporaryFiles(bool named) noexcept { useNamedTemporary = named; }

CsvFile::CsvFile() = default;
CsvFile::~CsvFile() { Discard(); }

CsvFile::CreateResult CsvFile::Create(std::string_view csvPath, const FileIdentity& input) {
  Discard();  // also empties the buffer
  failed_ = false;
  auto pending = std::make_unique<Pending>();
  CreateResult result = pending->Resolve(csvPath, input);
  if (result == CreateResult::Created) result = pending->OpenNewFile();
  if (result == CreateResult::Created) pending_ = std::move(pending);
  return result;
}

void CsvFile::Flush() {
  // In place, the rows wait in the buffer until the run has succeeded.
  if (pending_->kind == Pending::Kind::InPlace) return;
  if (!failed_ && !pending_->WriteAll(Held(), -1)) failed_ = true;
  buffer_.Clear();
}

CsvFile::CommitResult CsvFile::Commit() {
  if (!pending_) return CommitResult::WriteFailed;
  Flush();
  const CommitResult result = failed_ ? CommitResult::WriteFailed : pending_->PutInPlace(Held());
  Discard();
  return result;
}

void CsvFile::Discard() noexcept {
  pending_.reset();
  buffer_.Clear();
}

}  // namespace ravuvur
