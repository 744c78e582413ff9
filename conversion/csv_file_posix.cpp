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
//   The rule holds for every link on the way, links to folders included,
//   whatever the kernel's own setting: paths are walked one name at a
//   time. The link's text is read once and its target's folder opened
//   relative to the link's own folder.
// - Nothing is left behind. Rows go to an unnamed file in the CSV's folder
//   (O_TMPFILE) that gets a name only when complete, so even SIGKILL leaves
//   nothing. Where the file system cannot make one, a hidden named file
//   with an unpredictable name is used and removed on failure, on an
//   exception, and on every signal whose default action ends the process.
//   Replacing an earlier CSV needs a name for the finished file for the
//   moment between linking and renaming it: every signal but SIGKILL is
//   held back there, in every thread of the program, and the kernel has no
//   call that would close that gap.
//   In an append-only folder, where a name once made cannot go, the CSV is
//   written in place or, with no unnamed file, refused; the folder's
//   attribute is read with statx, which answers for a folder we may only
//   search, too.
// - On disk before in place: the new file's data is flushed (fdatasync)
//   before it takes the CSV's place, and the folder after.
// - Several files as one (CommitTogether, a report's three): every one is
//   written and flushed first; then, within one held step, each unnamed
//   file gets its hidden name (the step that can be refused, a folder
//   full: then those given are taken back and nothing is replaced), and
//   only then are all renamed into place; each folder is flushed once
//   after. Only SIGKILL or a power cut during that step, or a rename itself
//   refused there (a file system turned read-only), can leave a mix, and
//   SIGKILL there hidden names too.
// - The earlier CSV's permission bits are kept, and its owner, group,
//   access ACL and user extended attributes where the process may set them.
//   What cannot be kept never widens access: group bits a group we cannot
//   give the file would have had are cut to what others may do, a folder's
//   default ACL is dropped, and an ACL that cannot be copied leaves the
//   owner alone with access.
// - Other hard links to the earlier CSV keep the earlier content: the CSV's
//   name gets a new file, the old one is never written into; in place, a
//   CSV with other links is refused.
// - Where no new file can be made beside the CSV (a folder we may not
//   write, or a sticky folder where the CSV is someone else's) but the CSV
//   itself is writable, it is written in place. The rows are then held in
//   memory (a CSV never grows past a few megabytes: only 57 columns of each
//   of at most 32767 records are read) and written over the CSV only once
//   the run has succeeded. The file-size limit is checked and the space
//   reserved first (fallocate, or where the file system has none, zeros
//   written after the file's end and cut off again if they do not fit),
//   and every catchable signal held through the reservation, the final
//   write, truncation and flush (whichever thread it is sent to), so the
//   earlier CSV survives every failure but SIGKILL or a power cut during
//   those steps.
// - The log is never written into the CSV: a CSV that is the process's
//   standard output or error (dta2csv X.DAT > X.CSV) is refused.
// - All of this holds for several commits in progress at once, one per
//   thread (dta2csv converts many files together): a fatal signal removes
//   the hidden named file of every one of them (up to
//   CsvFile::kMaxPendingInProcess at once), and one that comes while any
//   thread is in held steps waits until the last of them has left those
//   steps, then ends the process; no thread starts held steps meanwhile, so
//   every in-place write in progress is whole first and the signal is not
//   put off for longer than that.

#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/random.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <mutex>
#include <optional>
#include <utility>

#include "conversion/csv_file.h"

namespace ravuvur {
namespace {

// Links followed at the CSV's name before giving up, as the kernel's own
// limit on nested links keeps a loop from running forever.
constexpr int kMaxLinks = 8;

std::atomic<bool> useNamedTemporary = false;

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
Descriptor OpenFolder(int at, const char* path) {
  const int fd = ::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0 || errno != EACCES) return Descriptor(fd);
  return Descriptor(::openat(at, path, O_PATH | O_DIRECTORY | O_CLOEXEC));
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

// The text of the link `name` in `folder`, `link` being its own stat, when
// it may be followed after `linksSoFar` others: within kMaxLinks and by
// MayFollow. Nothing otherwise, with errno saying why, and `reason` too
// when the link is refused for belonging to another user.
std::optional<std::string> LinkToFollow(int folder, const char* name, const struct stat& link,
                                        int linksSoFar, std::string& reason) {
  if (linksSoFar >= kMaxLinks) {
    errno = ELOOP;
    return std::nullopt;
  }
  struct stat folderStat {};
  if (::fstat(folder, &folderStat) != 0) return std::nullopt;
  if (!MayFollow(link, folderStat)) {
    reason = "a link of another user in a shared folder, which is not followed";
    errno = EPERM;
    return std::nullopt;
  }
  char target[PATH_MAX];
  const ssize_t length = ::readlinkat(folder, name, target, sizeof target);
  if (length <= 0 || static_cast<std::size_t>(length) == sizeof target) {
    if (length >= 0) errno = ENAMETOOLONG;
    return std::nullopt;
  }
  return std::string(target, static_cast<std::size_t>(length));
}

// Opens the folder `path` names, relative to `at`, one name at a time, so
// that the protected-symlink rule (MayFollow) holds for every link on the
// way and not only for the last, whatever the kernel's own setting:
// another user's link to a folder in /tmp must not lead us into a folder
// of our own. `links` counts the links followed, against kMaxLinks.
Descriptor OpenFolderByParts(int at, std::string_view path, int& links, std::string& reason) {
  Descriptor current(
      ::openat(at, path.starts_with('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  while (current.valid() && !path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string part(path.substr(0, slash));
    path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
    if (part.empty() || part == ".") continue;
    struct stat st {};
    if (::fstatat(current.get(), part.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return {};
    if (!S_ISLNK(st.st_mode)) {
      // Opened without following: a name swapped for a link since the
      // look fails here instead of being followed.
      current.reset(
          ::openat(current.get(), part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      continue;
    }
    const std::optional<std::string> target =
        LinkToFollow(current.get(), part.c_str(), st, links, reason);
    if (!target) return {};
    ++links;
    current = OpenFolderByParts(current.get(), *target, links, reason);
  }
  if (!current.valid()) return {};
  return OpenFolder(current.get(), ".");
}

// Whether a rename over `csv` in `folder` will be refused: in a sticky
// folder only the owner of the file or of the folder (or a privileged
// process) may replace an entry.
bool StickyRefusesRename(const struct stat& csv, const struct stat& folder) {
  const uid_t me = ::geteuid();
  return (folder.st_mode & S_ISVTX) != 0 && me != 0 && csv.st_uid != me && folder.st_uid != me;
}

// --- Fatal signals: removing named temporary files, holding steps together ---
//
// Several commits may be in progress at once, one per thread (dta2csv
// converts many files together), so this state is the process's, shared by
// all of them: every hidden named file of every commit is removed by a
// fatal signal, and steps that must go together are held together in every
// thread that is in them. The handler reads and changes it through
// lock-free atomics only; the threads install and restore the handlers
// under a mutex, which the handler never takes.

// A hidden named file to remove on a fatal signal: a slot is free, being
// filled by the thread that takes it, or registered (the handler removes
// its name). Names are registered only while signals are held, so the
// handler never meets a slot being filled unless a fault cut in.
struct PendingName {
  std::atomic<int> state{0};
  int folder = -1;
  char name[NAME_MAX + 1] = {};
};
constexpr int kSlotFree = 0;
constexpr int kSlotFilling = 1;
constexpr int kSlotRegistered = 2;
PendingName pendingNames[CsvFile::kMaxPendingInProcess];

// The threads in steps that must go together (the low bits), and two
// flags: a signal came meanwhile and waits for the last of them to end
// (no thread starts such steps until it has been raised), or a signal is
// ending the process now (none starts them again).
std::atomic<unsigned> holdState{0};
constexpr unsigned kSignalWaiting = 1u << 30;
constexpr unsigned kEnding = 1u << 31;
constexpr unsigned kHolders = kSignalWaiting - 1;
static_assert(std::atomic<unsigned>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the signal handler may only use lock-free atomics");
// Each signal that came meanwhile, to be raised again: every one, as the
// program may handle some itself and only another would end it.
std::atomic<int> signalsHeld[NSIG] = {};
// How deep this thread is in held steps: a thread already holding goes on
// without waiting for a signal that waits for it.
thread_local int holdDepth = 0;

// Every signal whose default action ends the process, real-time ones
// included; SIGKILL and SIGSTOP cannot be caught.
sigset_t FatalSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : {SIGINT,  SIGTERM, SIGHUP,    SIGQUIT, SIGPIPE, SIGUSR1, SIGUSR2,
                           SIGALRM, SIGXCPU, SIGVTALRM, SIGPROF, SIGSEGV, SIGBUS,  SIGSYS,
                           SIGTRAP, SIGABRT, SIGILL,    SIGFPE,  SIGIO,   SIGPWR,  SIGSTKFLT}) {
    sigaddset(&set, signal);
  }
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaddset(&set, signal);
  return set;
}

// A fault the kernel raised in some thread (a bad address, say) cannot
// wait: the instruction would only fault again.
bool IsFault(int signal, const siginfo_t* info) {
  const bool synchronous = signal == SIGSEGV || signal == SIGBUS || signal == SIGFPE ||
                           signal == SIGILL || signal == SIGTRAP || signal == SIGSYS;
  return synchronous && info != nullptr && info->si_code > 0;
}

// Whether `signal` must wait for held steps: then it is kept to be raised
// again by the last thread to leave them. Otherwise, with `endIfNone`, the
// process is marked as ending, so that no thread starts such steps again.
bool WaitsForHeldSteps(int signal, bool endIfNone) {
  unsigned state = holdState.load();
  for (;;) {
    if ((state & kHolders) == 0) {
      if (!endIfNone || holdState.compare_exchange_weak(state, state | kEnding)) return false;
      continue;
    }
    signalsHeld[signal].store(1);
    if (holdState.compare_exchange_weak(state, state | kSignalWaiting)) return true;
  }
}

// The process's own handling, kept while ours is installed.
std::mutex handlersMutex;
struct sigaction previousActions[NSIG];
int handlerUsers = 0;  // held steps and registered names that need ours
struct sigaction previousSizeSignal {};
int sizeSignalUsers = 0;  // commits that need SIGXFSZ ignored

// Whether the program handles the signal itself, with a handler of its own.
bool HandledByProgram(const struct sigaction& own) {
  return (own.sa_flags & SA_SIGINFO) != 0 ||
         (own.sa_handler != SIG_DFL && own.sa_handler != SIG_IGN);
}

extern "C" void OnFatalSignal(int signal, siginfo_t* info, void* context) {
  // Only a thread not in held steps can get here while others are (theirs
  // have every signal blocked): the signal is raised again when the steps
  // are done.
  if (IsFault(signal, info)) {
    holdState.fetch_or(kEnding);
  } else if (const struct sigaction& own = previousActions[signal]; HandledByProgram(own)) {
    // A signal the program handles itself goes to its handler, also when
    // it comes as held steps end, before the program's handlers are back.
    if (WaitsForHeldSteps(signal, /*endIfNone=*/false)) return;
    if ((own.sa_flags & SA_SIGINFO) != 0) {
      own.sa_sigaction(signal, info, context);
    } else {
      own.sa_handler(signal);
    }
    return;
  } else if (WaitsForHeldSteps(signal, /*endIfNone=*/true)) {
    return;
  }
  for (PendingName& pending : pendingNames) {
    if (pending.state.load() == kSlotRegistered) ::unlinkat(pending.folder, pending.name, 0);
  }
  // Die of the same signal, so the caller sees what happened. A fault
  // (SIGSEGV) comes back when the faulting instruction runs again.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// Ours while any held steps or registered names need it (counted in
// handlerUsers), the program's own again after.
void UseHandlers() {
  const std::lock_guard lock(handlersMutex);
  if (handlerUsers++ > 0) return;
  const sigset_t fatal = FatalSignals();
  for (int signal = 1; signal < NSIG; ++signal) {
    if (sigismember(&fatal, signal) != 1) continue;
    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigfillset(&action.sa_mask);
    ::sigaction(signal, nullptr, &previousActions[signal]);
    // A signal the process ignores (nohup) stays ignored.
    if (previousActions[signal].sa_handler != SIG_IGN) ::sigaction(signal, &action, nullptr);
  }
}

void ReleaseHandlers() noexcept {
  const std::lock_guard lock(handlersMutex);
  if (--handlerUsers > 0) return;
  const sigset_t fatal = FatalSignals();
  for (int signal = 1; signal < NSIG; ++signal) {
    if (sigismember(&fatal, signal) == 1) ::sigaction(signal, &previousActions[signal], nullptr);
  }
}

// A write past the file-size limit fails like any other write instead of
// killing the process, for as long as any commit is writing.
void IgnoreSizeSignal() {
  const std::lock_guard lock(handlersMutex);
  if (sizeSignalUsers++ > 0) return;
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, &previousSizeSignal);
}

void RestoreSizeSignal() noexcept {
  const std::lock_guard lock(handlersMutex);
  if (--sizeSignalUsers == 0) ::sigaction(SIGXFSZ, &previousSizeSignal, nullptr);
}

// Registers a hidden named file for removal on a fatal signal; called
// while signals are held, so no moment passes where the file exists but is
// not registered. The slot taken, or -1 when every slot is in use.
int RegisterPendingName(int folder, const std::string& name) {
  for (int slot = 0; slot < CsvFile::kMaxPendingInProcess; ++slot) {
    PendingName& pending = pendingNames[slot];
    int expected = kSlotFree;
    if (!pending.state.compare_exchange_strong(expected, kSlotFilling)) continue;
    UseHandlers();
    pending.folder = folder;
    std::snprintf(pending.name, sizeof pending.name, "%s", name.c_str());
    pending.state.store(kSlotRegistered);
    return slot;
  }
  return -1;
}

// Once the name is gone (removed or renamed); the program's own handling
// comes back first, as ours with nothing to do would end the process on a
// signal the program handles.
void UnregisterPendingName(int slot) noexcept {
  ReleaseHandlers();
  pendingNames[slot].state.store(kSlotFree);
}

// Holds back every signal that can be held while a name is being put in
// place or the CSV written in place, so nothing can fall between two steps
// that must go together. Blocking covers this thread; the program's other
// threads (the window's toolkit starts some, dta2csv runs commits in
// several) would still take a signal and end the process mid-step, so the
// fatal ones are caught meanwhile and raised again once every thread in
// held steps has left them. A signal that waits so keeps new held steps
// from starting, so it is never put off for long.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t held;
    sigfillset(&held);
    ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
    if (holdDepth++ == 0) Enter();
    UseHandlers();
  }
  ~SignalsHeld() {
    // The program's own handling first, then out: ours with no thread in
    // held steps would end the process on a signal the program handles.
    ReleaseHandlers();
    const bool raiseHeld = --holdDepth == 0 && Leave();
    for (int signal = 1; raiseHeld && signal < NSIG; ++signal) {
      // Delivered as the mask is restored, to the program's own handling
      // once no other commit needs ours.
      if (signalsHeld[signal].exchange(0) != 0) ::raise(signal);
    }
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  // Counts this thread in, once no signal waits and the process is not
  // ending (then it waits: the process is about to end or the signal to
  // be raised, which takes no longer than the steps in progress).
  static void Enter() {
    unsigned state = holdState.load();
    for (;;) {
      if ((state & (kSignalWaiting | kEnding)) != 0) {
        const timespec pause{0, 100'000};
        ::nanosleep(&pause, nullptr);
        state = holdState.load();
      } else if (holdState.compare_exchange_weak(state, state + 1)) {
        return;
      }
    }
  }
  // Counts this thread out; true when it was the last and signals wait.
  static bool Leave() {
    unsigned state = holdState.load();
    for (;;) {
      unsigned next = state - 1;
      const bool last = (next & kHolders) == 0 && (state & kSignalWaiting) != 0;
      if (last) next &= ~kSignalWaiting;
      if (holdState.compare_exchange_weak(state, next)) return last;
    }
  }

  sigset_t previous_;
};

// A hidden name beside the CSV that no other user can guess ahead (and
// so block by making it first). Short, so that it never makes a path too
// long where the CSV's own path fits.
std::string TemporaryName() {
  unsigned char random[10];
  if (::getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
    // Only before the kernel's pool is ready: unique still, retried if taken.
    static std::atomic<unsigned> counter = 0;
    const auto seed = static_cast<unsigned long long>(std::time(nullptr)) * 1000003u +
                      static_cast<unsigned long long>(::getpid()) * 7919u + ++counter;
    for (std::size_t k = 0; k < sizeof random; ++k) {
      random[k] = static_cast<unsigned char>(seed >> (k % 8 * 8));
    }
  }
  constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz234567";
  std::string name = ".dta2csv-";
  for (const unsigned char byte : random) name += kDigits[byte % 32];
  return name + ".tmp";
}

// Whether entries in the folder may be added but never removed or renamed
// (chattr +a): a hidden name made there would stay. statx answers for a
// folder held with O_PATH too (one we may search but not list), where the
// flags' ioctl cannot be made; the ioctl is for file systems whose statx
// does not report the attribute.
bool IsAppendOnly(int folder) {
  struct statx attributes {};
  if (::statx(folder, "", AT_EMPTY_PATH, STATX_TYPE, &attributes) == 0 &&
      (attributes.stx_attributes_mask & STATX_ATTR_APPEND) != 0) {
    return (attributes.stx_attributes & STATX_ATTR_APPEND) != 0;
  }
  int flags = 0;
  return ::ioctl(folder, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_APPEND_FL) != 0;
}

// Whether the log is being written into `file`: standard output or
// standard error redirected into the CSV (dta2csv X.DAT > X.CSV). Rows
// written there would be mixed with the log, or the log lost with the file
// replaced; the name of the stream, or nothing.
const char* LogStreamInto(const struct stat& file) {
  for (const auto& [fd, stream] :
       {std::pair{STDOUT_FILENO, "standard output"}, std::pair{STDERR_FILENO, "standard error"}}) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_dev == file.st_dev && st.st_ino == file.st_ino) {
      return stream;
    }
  }
  return nullptr;
}

std::string ErrorText(int error) { return std::strerror(error); }

// An extended attribute's value, or nothing (errno says why).
std::optional<std::string> ReadAttribute(const std::string& path, const char* name) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    const ssize_t size = ::getxattr(path.c_str(), name, nullptr, 0);
    if (size < 0) return std::nullopt;
    std::string value(static_cast<std::size_t>(size), '\0');
    const ssize_t read = ::getxattr(path.c_str(), name, value.data(), value.size());
    if (read >= 0) {
      value.resize(static_cast<std::size_t>(read));
      return value;
    }
    if (errno != ERANGE) return std::nullopt;  // ERANGE: it grew meanwhile
  }
  return std::nullopt;
}

constexpr char kAccessAcl[] = "system.posix_acl_access";

}  // namespace

struct CsvFile::Pending {
  enum class Kind { Unnamed, Named, InPlace };

  Kind kind = Kind::Unnamed;
  Descriptor folder;                   // where the CSV's name is, held from check to commit
  std::string name;                    // the CSV's name in `folder`
  Descriptor file;                     // the new file, or the CSV itself when in place
  std::optional<struct stat> earlier;  // the CSV found at `name`, if any
  Descriptor earlierFile;              // it, held without being opened (O_PATH)
  std::string temporary;               // the named file's name, while it has one
  int temporarySlot = -1;              // where it is registered for removal on a signal
  std::string reason;                  // why the CSV cannot be made or replaced

  Pending() { IgnoreSizeSignal(); }
  ~Pending() {
    if (!temporary.empty()) ::unlinkat(folder.get(), temporary.c_str(), 0);
    if (temporarySlot >= 0) UnregisterPendingName(temporarySlot);
    RestoreSizeSignal();
  }
  Pending(const Pending&) = delete;
  Pending& operator=(const Pending&) = delete;

  CreateResult Resolve(std::string_view csvPath, std::span<const FileIdentity> inputs);
  CreateResult Claim(const std::function<bool(const CsvTarget&)>& mayWrite);
  CreateResult OpenNewFile();
  CreateResult OpenInPlace();
  CreateResult Refuse(std::string why) {
    reason = std::move(why);
    return CreateResult::CannotCreate;
  }
  // errno's text, unless a step on the way (a link not followed) has
  // already said why in words of its own.
  CreateResult RefuseForError() {
    if (reason.empty()) reason = ErrorText(errno);
    return CreateResult::CannotCreate;
  }
  void KeepOwnerAndAccess() const;
  void CopyUserAttributes(const std::string& from) const;
  bool WriteAll(std::string_view bytes, off_t at) const;
  bool ReserveRoom(off_t size) const;
  CommitResult Ready(std::string_view heldRows);
  CommitResult NameForPlacing();
  void DropName() noexcept;
  CommitResult PutInPlace(std::string_view heldRows);
  bool LinkUnnamed(const std::string& as) const;
};

// Finds what the CSV's name stands for, following links as allowed, and
// decides whether it may be replaced.
CsvFile::CreateResult CsvFile::Pending::Resolve(std::string_view csvPath,
                                                std::span<const FileIdentity> inputs) {
  auto [folderPath, base] = SplitPath(csvPath);
  int links = 0;
  folder = OpenFolderByParts(AT_FDCWD, folderPath, links, reason);
  name = std::move(base);
  if (!folder.valid()) return RefuseForError();
  if (name.empty()) return Refuse("no file name");

  for (;; ++links) {
    struct stat st {};
    if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      return errno == ENOENT ? CreateResult::Created : RefuseForError();
    }
    if (S_ISREG(st.st_mode)) {
      if (IsOneOf(FileIdentity{st.st_dev, st.st_ino}, inputs)) return CreateResult::SameAsInput;
      if (const char* stream = LogStreamInto(st)) {
        return Refuse(std::string("the log is being written into it (") + stream + ")");
      }
      // A read-only CSV is its owner's way of keeping it; refuse as
      // truncating it would have been refused.
      if (::faccessat(folder.get(), name.c_str(), W_OK, AT_EACCESS) != 0) return RefuseForError();
      // Held, so that its ACL and attributes are read from this very file.
      earlierFile.reset(::openat(folder.get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
      struct stat held {};
      if (!earlierFile.valid() || ::fstat(earlierFile.get(), &held) != 0 ||
          held.st_ino != st.st_ino || held.st_dev != st.st_dev) {
        return Refuse("the file changed while it was being checked");
      }
      earlier = st;
      return CreateResult::Created;
    }
    if (S_ISDIR(st.st_mode)) return Refuse(ErrorText(EISDIR));
    if (!S_ISLNK(st.st_mode)) return Refuse("not a regular file");

    const std::optional<std::string> target =
        LinkToFollow(folder.get(), name.c_str(), st, links, reason);
    if (!target) return RefuseForError();
    auto [targetFolder, targetName] = SplitPath(*target);
    Descriptor next = OpenFolderByParts(folder.get(), targetFolder, links, reason);
    if (!next.valid()) return RefuseForError();
    if (targetName.empty()) return Refuse("a link to a folder");
    folder = std::move(next);
    name = std::move(targetName);
  }
}

// Asks whether this run may write the CSV Resolve found: the folder held
// and the name in it, and the earlier CSV's own identity where there is
// one.
CsvFile::CreateResult CsvFile::Pending::Claim(
    const std::function<bool(const CsvTarget&)>& mayWrite) {
  struct stat folderStat {};
  if (::fstat(folder.get(), &folderStat) != 0) return RefuseForError();
  CsvTarget target{{folderStat.st_dev, folderStat.st_ino}, name, std::nullopt};
  if (earlier) target.existing = FileIdentity{earlier->st_dev, earlier->st_ino};
  return mayWrite(target) ? CreateResult::Created : CreateResult::NotThisRuns;
}

CsvFile::CreateResult CsvFile::Pending::OpenNewFile() {
  struct stat folderStat {};
  const bool appendOnly = IsAppendOnly(folder.get());
  if (earlier && (appendOnly || (::fstat(folder.get(), &folderStat) == 0 &&
                                 StickyRefusesRename(*earlier, folderStat)))) {
    return OpenInPlace();
  }
  // 0666 less the umask (and the folder's default ACL), as for any new
  // file. Replacing an earlier CSV, the file is ours alone until that
  // CSV's mode replaces it below: a hidden named file is visible to anyone
  // who may list the folder, and one who opened it while it was readable
  // could read every row of a private CSV, or write into it with umask 0.
  const mode_t mode = earlier ? 0600 : 0666;
  if (!useNamedTemporary) {
    file.reset(::openat(folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
  }
  int error = errno;
  // Without unnamed files (an old kernel, a file system that has none), a
  // hidden named one.
  if (!file.valid() &&
      (useNamedTemporary || error == EOPNOTSUPP || error == EISDIR || error == EINVAL)) {
    if (appendOnly) return Refuse("the folder is append-only");
    kind = Kind::Named;
    for (unsigned attempt = 0; attempt < 16 && !file.valid(); ++attempt) {
      temporary = TemporaryName();
      SignalsHeld held;  // no moment where the file exists but is not registered
      file.reset(::openat(folder.get(), temporary.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, mode));
      error = errno;
      if (file.valid()) temporarySlot = RegisterPendingName(folder.get(), temporary);
      if (file.valid() && temporarySlot < 0) {
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        temporary.clear();
        return Refuse("too many files being converted at once");
      }
      if (!file.valid() && error != EEXIST) break;
    }
    if (!file.valid()) temporary.clear();
  }
  if (!file.valid()) {
    const bool mayNotCreateHere = error == EACCES || error == EPERM;
    return earlier && mayNotCreateHere ? OpenInPlace() : Refuse(ErrorText(error));
  }
  KeepOwnerAndAccess();
  return CreateResult::Created;
}

CsvFile::CreateResult CsvFile::Pending::OpenInPlace() {
  kind = Kind::InPlace;
  // Written in place, every other name of the file would change with it.
  if (earlier->st_nlink > 1) {
    return Refuse("it has other names (hard links) and cannot be replaced here without them");
  }
  // Opened through the file held since the check, not by its name again:
  // a device swapped in at the name meanwhile is never opened, as opening
  // some has side effects. Without /proc, the name, never following a link
  // and never waiting on a pipe.
  const std::string held = "/proc/self/fd/" + std::to_string(earlierFile.get());
  file.reset(::open(held.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
  if (!file.valid() && errno == ENOENT) {
    file.reset(::openat(folder.get(), name.c_str(),
                        O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  }
  if (!file.valid()) return RefuseForError();
  struct stat st {};
  // The file opened must be the one checked, not one swapped in since.
  if (::fstat(file.get(), &st) != 0 || st.st_dev != earlier->st_dev ||
      st.st_ino != earlier->st_ino || st.st_nlink > 1) {
    return Refuse("the file changed while it was being checked");
  }
  return CreateResult::Created;
}

void CsvFile::Pending::KeepOwnerAndAccess() const {
  if (!earlier) return;
  mode_t mode = earlier->st_mode & 0777;
  bool groupKept = true;
  struct stat made {};
  // Compared with what the new file got, not with who we are: in a setgid
  // folder it gets the folder's group.
  if (::fstat(file.get(), &made) != 0 || made.st_uid != earlier->st_uid ||
      made.st_gid != earlier->st_gid) {
    if (::fchown(file.get(), earlier->st_uid, earlier->st_gid) != 0 &&
        ::fchown(file.get(), static_cast<uid_t>(-1), earlier->st_gid) != 0) {
      // The group could not be given: its rights must not pass to ours,
      // which gets no more than everyone else.
      groupKept = false;
      const mode_t others = mode & 07;
      mode = (mode & ~mode_t{070}) | (mode & (others << 3));
    }
  }
  const std::string earlierPath = "/proc/self/fd/" + std::to_string(earlierFile.get());
  std::optional<std::string> acl = ReadAttribute(earlierPath, kAccessAcl);
  const bool noAcl = !acl && (errno == ENODATA || errno == EOPNOTSUPP);
  // What the ACL allowed cannot be known, or would go to the wrong group.
  if ((!acl && !noAcl) || (acl && !groupKept)) {
    mode &= 0700;
    acl.reset();
  }
  // The new file may have taken an ACL from the folder's defaults, which the
  // earlier CSV did not have: the earlier one's replaces it.
  if (::fremovexattr(file.get(), kAccessAcl) != 0 && errno != ENODATA && errno != EOPNOTSUPP) {
    mode &= 0700;
  }
  ::fchmod(file.get(), mode);
  if (acl && ::fsetxattr(file.get(), kAccessAcl, acl->data(), acl->size(), 0) != 0) {
    ::fchmod(file.get(), mode & 0700);  // its deny entries would be lost with it
  }
  CopyUserAttributes(earlierPath);
}

// The user.* attributes (a tag, a checksum, an origin URL that tools keep
// there); one that cannot be set is left out, as it grants no access.
void CsvFile::Pending::CopyUserAttributes(const std::string& from) const {
  const ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
  if (size <= 0) return;
  std::string names(static_cast<std::size_t>(size), '\0');
  const ssize_t listed = ::listxattr(from.c_str(), names.data(), names.size());
  if (listed <= 0) return;
  names.resize(static_cast<std::size_t>(listed));
  for (std::size_t at = 0; at < names.size();) {
    const std::string attribute = names.c_str() + at;
    at += attribute.size() + 1;
    if (attribute.rfind("user.", 0) != 0) continue;
    if (const auto value = ReadAttribute(from, attribute.c_str())) {
      ::fsetxattr(file.get(), attribute.c_str(), value->data(), value->size(), 0);
    }
  }
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

// Makes sure the disk has room for the first `size` bytes of the file
// before any of its bytes changes: fallocate where the file system has it;
// elsewhere (ext2, some network file systems) zeros written after the
// file's end, never over its bytes, and flushed, so that a file system
// that finds room late says so now. Zeros that do not fit are cut off
// again: the file keeps its length and content.
bool CsvFile::Pending::ReserveRoom(off_t size) const {
  if (size == 0 || ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, size) == 0) return true;
  if (errno != EOPNOTSUPP && errno != ENOSYS) return false;
  struct stat st {};
  if (::fstat(file.get(), &st) != 0) return false;
  if (size <= st.st_size) return true;
  static constexpr char kZeros[64 * 1024] = {};
  bool reserved = true;
  for (off_t at = st.st_size; reserved && at < size; at += static_cast<off_t>(sizeof kZeros)) {
    const auto length = std::min(static_cast<std::size_t>(size - at), sizeof kZeros);
    reserved = WriteAll(std::string_view(kZeros, length), at);
  }
  if (reserved && ::fdatasync(file.get()) == 0) return true;
  const int error = errno;
  ::ftruncate(file.get(), st.st_size);
  errno = error;
  return false;
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

// Everything of the commit that can fail for want of room or rights, with
// the earlier CSV untouched: in place, the file-size limit and the disk's
// space; otherwise the new file flushed.
CsvFile::CommitResult CsvFile::Pending::Ready(std::string_view heldRows) {
  if (kind == Kind::InPlace) {
    const auto size = static_cast<off_t>(heldRows.size());
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(size) > limit.rlim_cur) {
      reason = ErrorText(EFBIG);
      return CommitResult::WriteFailed;
    }
    // Room taken beyond the file's end changes none of its bytes; where the
    // file system cannot, the room is made in the held step (ReserveRoom).
    if (size > 0 && ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
      reason = ErrorText(errno);
      return CommitResult::WriteFailed;
    }
    return CommitResult::Committed;
  }
  if (::fdatasync(file.get()) != 0) {
    reason = ErrorText(errno);
    return CommitResult::WriteFailed;
  }
  return CommitResult::Committed;
}

// For a commit of several files, with signals held: the unnamed file given
// a hidden name beside the CSV, the one step of putting it in place that
// can be refused (a folder full), so that what is left is only renaming.
CsvFile::CommitResult CsvFile::Pending::NameForPlacing() {
  if (kind != Kind::Unnamed) return CommitResult::Committed;
  std::string hidden = TemporaryName();
  if (!LinkUnnamed(hidden)) {
    reason = ErrorText(errno);
    return CommitResult::CannotReplace;
  }
  temporary = std::move(hidden);
  kind = Kind::Named;
  return CommitResult::Committed;
}

// The hidden name given by NameForPlacing, taken away again while signals
// are still held; a named file made so from the start keeps its own until
// the commit is dropped.
void CsvFile::Pending::DropName() noexcept {
  if (kind != Kind::Named || temporarySlot >= 0) return;
  ::unlinkat(folder.get(), temporary.c_str(), 0);
  temporary.clear();
  kind = Kind::Unnamed;
}

CsvFile::CommitResult CsvFile::Pending::PutInPlace(std::string_view heldRows) {
  if (kind == Kind::InPlace) {
    // The room reserved, then the rows written over from the start, cut to
    // length and flushed, with every signal that can be held held: an
    // interrupted write would leave the new rows followed by the end of
    // the old ones, an interrupted reservation zeros after the old ones.
    const auto size = static_cast<off_t>(heldRows.size());
    SignalsHeld held;
    if (!ReserveRoom(size)) {
      reason = ErrorText(errno);
      return CommitResult::WriteFailed;
    }
    if (!WriteAll(heldRows, 0) || ::ftruncate(file.get(), size) != 0 ||
        ::fdatasync(file.get()) != 0) {
      reason = ErrorText(errno);
      return CommitResult::WriteFailed;
    }
    return CommitResult::Committed;
  }

  bool placed = false;
  {
    SignalsHeld held;  // the steps below leave a name behind if cut apart
    if (kind == Kind::Named) {
      placed = ::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) == 0;
      // A name given only for this moment goes at once when refused.
      if (!placed && temporarySlot < 0) {
        const int error = errno;
        DropName();
        errno = error;
      }
    } else if (!earlier && LinkUnnamed(name)) {
      placed = true;  // nothing to replace: the file gets its name at once
    } else {
      temporary = TemporaryName();
      if (LinkUnnamed(temporary)) {
        placed = ::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) == 0;
        // The name that could not take the CSV's place goes at once.
        if (!placed) {
          const int error = errno;
          ::unlinkat(folder.get(), temporary.c_str(), 0);
          errno = error;
        }
      }
      temporary.clear();
    }
    if (!placed) reason = ErrorText(errno);
    if (placed && kind == Kind::Named) {
      temporary.clear();
      if (temporarySlot >= 0) UnregisterPendingName(std::exchange(temporarySlot, -1));
    }
  }
  return placed ? CommitResult::Committed : CommitResult::CannotReplace;
}

void CsvFile::UseNamedTemporaryFiles(bool named) noexcept { useNamedTemporary = named; }

CsvFile::CsvFile() = default;
CsvFile::~CsvFile() { Discard(); }

CsvFile::CreateResult CsvFile::Create(std::string_view csvPath,
                                      std::span<const FileIdentity> inputs,
                                      const std::function<bool(const CsvTarget&)>& mayWrite) {
  Discard();  // also empties the buffer
  failed_ = false;
  failureReason_.clear();
  auto pending = std::make_unique<Pending>();
  CreateResult result = pending->Resolve(csvPath, inputs);
  if (result == CreateResult::Created && mayWrite) result = pending->Claim(mayWrite);
  if (result == CreateResult::Created) result = pending->OpenNewFile();
  if (result == CreateResult::Created) {
    pending_ = std::move(pending);
  } else {
    failureReason_ = std::move(pending->reason);
  }
  return result;
}

void CsvFile::Flush() {
  // In place, the rows wait in the buffer until the run has succeeded.
  if (pending_->kind == Pending::Kind::InPlace) return;
  if (!failed_ && !pending_->WriteAll(Held(), -1)) {
    failed_ = true;
    pending_->reason = ErrorText(errno);
  }
  buffer_.Clear();
}

CsvFile::CommitResult CsvFile::Finish() {
  if (!pending_) return CommitResult::WriteFailed;
  Flush();
  const CommitResult result = failed_ ? CommitResult::WriteFailed : pending_->Ready(Held());
  if (result != CommitResult::Committed) failureReason_ = std::move(pending_->reason);
  return result;
}

CsvFile::CommitResult CsvFile::ReadyToPlace() {
  const CommitResult result = pending_->NameForPlacing();
  if (result != CommitResult::Committed) failureReason_ = std::move(pending_->reason);
  return result;
}

void CsvFile::UndoReady() noexcept { pending_->DropName(); }

CsvFile::CommitResult CsvFile::PutInPlace() {
  const CommitResult result = pending_->PutInPlace(Held());
  if (result != CommitResult::Committed) failureReason_ = std::move(pending_->reason);
  return result;
}

void CsvFile::InHeldSteps(const std::function<void()>& steps) {
  SignalsHeld held;
  steps();
}

// The new names on disk, each folder once (a report's files share theirs);
// not possible on an O_PATH folder, and nothing to do for a CSV written in
// place. Nothing is allocated: the files are already in place.
void CsvFile::FlushFolders(std::span<CsvFile* const> files) {
  const auto folderOf = [](const CsvFile* file) {
    struct stat st {};
    const bool known = file->pending_->kind != Pending::Kind::InPlace &&
                       ::fstat(file->pending_->folder.get(), &st) == 0;
    return known ? std::pair{st.st_dev, st.st_ino} : std::pair{dev_t{0}, ino_t{0}};
  };
  for (std::size_t k = 0; k < files.size(); ++k) {
    const auto folder = folderOf(files[k]);
    if (folder.second == 0) continue;
    bool flushedBefore = false;
    for (std::size_t before = 0; before < k && !flushedBefore; ++before) {
      flushedBefore = folderOf(files[before]) == folder;
    }
    if (!flushedBefore) ::fsync(files[k]->pending_->folder.get());
  }
}

void CsvFile::Discard() noexcept {
  pending_.reset();
  buffer_.Clear();
  completed_.reset();
}

}  // namespace ravuvur
