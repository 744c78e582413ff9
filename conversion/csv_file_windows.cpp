// The CSV commit on Windows. What it guarantees, whatever fails:
//
// - All or nothing. Rows go to a new file beside the CSV (same folder, so
//   same volume), opened without sharing. Only one call ever changes the
//   CSV: MoveFileExW with MOVEFILE_REPLACE_EXISTING, a rename that swaps
//   the name in one step, so the name holds the old CSV or the complete
//   new one, never a short file and never no file.
// - Data on disk before the swap: the new file is flushed with
//   FlushFileBuffers, and the rename is made with MOVEFILE_WRITE_THROUGH,
//   so once 009 is logged the new CSV survives a power cut.
// - The earlier CSV stays byte for byte on every failure: a write or a
//   flush that fails (disk full), a CSV another program holds open (a
//   spreadsheet locks the file it shows; refused before any row is
//   written), permissions that cannot be carried over, a rename refused.
// - Nothing left behind: the new file is marked for deletion right after
//   it is made, before any row is written, until just before the rename,
//   so Windows removes it when its handle closes, on every failure and
//   when the process is killed. A process killed in the moment between
//   making the file and marking it, or between the last step and the
//   rename, could leave it behind: Windows has no call that makes a file
//   marked so and takes the mark back later (Wine and Windows before
//   10 1607 have none at all).
// - What is checked is what is replaced: the input itself under another
//   name or letter case (same volume and file index), a folder, a device,
//   a read-only or a locked file are refused when the run starts, and the
//   earlier CSV is then held open without delete sharing until the
//   rename, so no other program can move another file onto its name
//   meanwhile (only in the moment between letting go and the rename).
// - Permissions kept: the new file takes the old CSV's attributes (hidden,
//   system, archive, not indexed) and, where they differ from what the
//   folder gives a new file, its access rules (DACL) before the swap. A
//   new CSV gets what the folder gives, as a plainly created file would.
// - Several commits at once, one per thread (dta2csv.exe converts a batch):
//   they share no state. Each new file's name carries the process, a clock
//   reading and the attempt, and is made only where no file has it
//   (CREATE_NEW); the mark for deletion is the file's own.

#include <aclapi.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "conversion/csv_file.h"
#include "conversion/win32_file.h"
#include "core/text.h"
#include "core/wide_text.h"

namespace ravuvur {
namespace {

using win32::Handle;

// Room for the temporary name's prefix and suffix within a name's 255.
constexpr std::size_t kMaxNameInTemporary = 200;

// A name no other run uses, beside the target: folder part (up to the last
// separator or a drive's colon) kept, name hidden behind a dot.
std::wstring TemporaryName(const std::wstring& target, unsigned attempt) {
  const std::size_t folderEnd = target.find_last_of(L"\\/:") + 1;  // npos + 1 == 0
  const auto ticks =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  return target.substr(0, folderEnd) + L"." + target.substr(folderEnd, kMaxNameInTemporary) + L"." +
         std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring((ticks ^ (ticks >> 17)) % 1000000 + attempt) + L".tmp";
}

// Why a file could not be made or replaced, in the words a user of the
// command line needs: mostly a spreadsheet holding the CSV.
std::string ReasonFor(DWORD error) {
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "in use by another program";
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_PATH_NOT_FOUND: return "no such folder";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "disk full";
    default: return "Windows error " + std::to_string(error);
  }
}

bool MarkForDeletion(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = remove ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// A file's DACL and whether it is protected from inheritance. A null DACL
// read (the file system keeps none) is not one that could not be read:
// given to a file, a null DACL lets everyone in.
struct AccessRules {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL dacl = nullptr;
  bool isProtected = false;
  bool read = false;

  explicit AccessRules(HANDLE file) {
    if (GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                        nullptr, &descriptor) != ERROR_SUCCESS) {
      descriptor = nullptr;
      dacl = nullptr;
      return;
    }
    read = true;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    isProtected = GetSecurityDescriptorControl(descriptor, &control, &revision) &&
                  (control & SE_DACL_PROTECTED) != 0;
  }
  ~AccessRules() { LocalFree(descriptor); }
  AccessRules(const AccessRules&) = delete;
  AccessRules& operator=(const AccessRules&) = delete;

  bool SameAs(const AccessRules& other) const {
    if (dacl == nullptr || other.dacl == nullptr) return dacl == other.dacl;
    return isProtected == other.isProtected && dacl->AclSize == other.dacl->AclSize &&
           std::memcmp(dacl, other.dacl, dacl->AclSize) == 0;
  }
};

// Gives `file` the attributes and access rules of the earlier CSV, if there
// is one. False when they could not be given.
bool KeepPermissions(const Handle& earlier, HANDLE file) {
  if (!earlier.IsValid()) return true;  // a new CSV
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(earlier.Get(), FileBasicInfo, &basic, sizeof basic)) {
    return false;
  }
  FILE_BASIC_INFO attributes{};  // zero times: left as they are
  attributes.FileAttributes =
      (basic.FileAttributes & kKept) != 0 ? (basic.FileAttributes & kKept) : FILE_ATTRIBUTE_NORMAL;
  if (!SetFileInformationByHandle(file, FileBasicInfo, &attributes, sizeof attributes)) {
    return false;
  }

  const AccessRules wanted(earlier.Get());
  if (!wanted.read) return false;
  if (wanted.SameAs(AccessRules(file))) return true;
  const SECURITY_INFORMATION which =
      DACL_SECURITY_INFORMATION | (wanted.isProtected ? PROTECTED_DACL_SECURITY_INFORMATION
                                                      : UNPROTECTED_DACL_SECURITY_INFORMATION);
  return SetSecurityInfo(file, SE_FILE_OBJECT, which, nullptr, nullptr, wanted.dacl, nullptr) ==
         ERROR_SUCCESS;
}

// The CSV at `path` as one file whatever path reaches it: the folder's
// volume and file index and the name upper-cased, as Windows names ignore
// letter case. A folder that cannot be looked at gives the whole path,
// made full and upper-cased, in its place.
CsvTarget TargetAt(const std::wstring& path) {
  const std::size_t nameStart = path.find_last_of(L"\\/:") + 1;  // npos + 1 == 0
  const std::wstring folder = nameStart == 0 ? L"." : path.substr(0, nameStart);
  const Handle held(CreateFileW(
      folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | win32::kNoImpersonation, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (held.IsValid() && GetFileInformationByHandle(held.Get(), &info)) {
    return {win32::IdentityOf(info), UpperCase(Utf8FromWide(path.substr(nameStart))), std::nullopt};
  }
  std::wstring full(32768, L'\0');
  full.resize(
      GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  return {FileIdentity{}, UpperCase(Utf8FromWide(full.empty() ? path : full)), std::nullopt};
}

}  // namespace

struct CsvFile::Pending {
  Handle file;
  Handle earlier;  // the CSV there was, held until the rename
  std::wstring target;
  std::wstring temporary;

  ~Pending() {
    file.Close();
    if (!temporary.empty()) DeleteFileW(temporary.c_str());
  }
};

// Windows has no unnamed files: the new file always has a name.
void CsvFile::UseNamedTemporaryFiles(bool /*named*/) noexcept {}

CsvFile::CsvFile() = default;
CsvFile::~CsvFile() { Discard(); }

void CsvFile::Discard() noexcept {
  pending_.reset();
  buffer_.Clear();
  completed_.reset();
}

CsvFile::CreateResult CsvFile::Create(std::string_view csvPath,
                                      std::span<const FileIdentity> inputs,
                                      const std::function<bool(const CsvTarget&)>& mayWrite) {
  Discard();  // also empties the buffer
  failed_ = false;
  const auto refuse = [this](std::string why) {
    failureReason_ = std::move(why);
    return CreateResult::CannotCreate;
  };
  failureReason_.clear();
  auto pending = std::make_unique<Pending>();
  pending->target = WideFromUtf8(csvPath);
  if (pending->target.empty() || win32::NamesADevice(pending->target)) {
    return refuse("not a file name");
  }

  // Attributes only: this open ignores other programs' sharing modes, so
  // the input itself is told apart even while a spreadsheet holds it.
  const Handle existing(CreateFileW(pending->target.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | win32::kNoImpersonation, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = existing.IsValid() && GetFileInformationByHandle(existing.Get(), &info);
  if (known && IsOneOf(win32::IdentityOf(info), inputs)) return CreateResult::SameAsInput;
  // No such folder, no access: nothing can be created there.
  if (!existing.IsValid() && GetLastError() != ERROR_FILE_NOT_FOUND) {
    return refuse(ReasonFor(GetLastError()));
  }
  // Asked before the earlier CSV is held below, which shuts out another
  // run of this program that holds it: that one may be the run it is
  // claimed by.
  if (mayWrite) {
    CsvTarget target = TargetAt(pending->target);
    if (known) target.existing = win32::IdentityOf(info);
    if (!mayWrite(target)) return CreateResult::NotThisRuns;
  }
  if (existing.IsValid()) {
    // The earlier CSV is held until the rename, without delete sharing: no
    // other program can rename, replace or delete it meanwhile, so the file
    // checked here is the one replaced. A CSV open in a spreadsheet is
    // locked against this (and so against being replaced): refused before
    // any row is written.
    pending->earlier =
        Handle(CreateFileW(pending->target.c_str(), DELETE | READ_CONTROL | FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | win32::kNoImpersonation, nullptr));
    if (!pending->earlier.IsValid() || !GetFileInformationByHandle(pending->earlier.Get(), &info)) {
      return refuse(ReasonFor(GetLastError()));
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return refuse("a folder");
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) return refuse("read-only");
    if (IsOneOf(win32::IdentityOf(info), inputs) ||
        GetFileType(pending->earlier.Get()) != FILE_TYPE_DISK) {
      return refuse("not a regular file");
    }
  }

  // Owner of the new file, the run may set its access rules (WRITE_DAC).
  for (unsigned attempt = 0; attempt < 16 && !pending->file.IsValid(); ++attempt) {
    pending->temporary = TemporaryName(pending->target, attempt);
    pending->file = Handle(CreateFileW(
        pending->temporary.c_str(), GENERIC_WRITE | DELETE | READ_CONTROL | WRITE_DAC, 0, nullptr,
        CREATE_NEW, FILE_ATTRIBUTE_NORMAL | win32::kNoImpersonation, nullptr));
    if (!pending->file.IsValid() && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (!pending->file.IsValid()) {
    pending->temporary.clear();
    return refuse(ReasonFor(GetLastError()));
  }
  // Until the commit the new file is marked for deletion, so that Windows
  // removes it when its handle closes, even when the process is killed.
  if (!MarkForDeletion(pending->file.Get(), true)) return refuse(ReasonFor(GetLastError()));
  pending_ = std::move(pending);
  return CreateResult::Created;
}

void CsvFile::Flush() {
  std::string_view rest = Held();
  while (!rest.empty() && !failed_) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), std::size_t{1} << 30));
    DWORD written = 0;
    if (WriteFile(pending_->file.Get(), rest.data(), chunk, &written, nullptr) && written > 0) {
      rest.remove_prefix(written);
    } else {
      failed_ = true;  // disk full, quota, I/O error
      failureReason_ = ReasonFor(GetLastError());
    }
  }
  buffer_.Clear();
}

// Everything of the commit that can fail short of the rename, the new
// file still marked for deletion: the rest written, flushed to disk, and
// the earlier CSV's permissions given.
CsvFile::CommitResult CsvFile::Finish() {
  if (!pending_) return CommitResult::WriteFailed;
  Flush();
  CommitResult result = CommitResult::Committed;
  if (failed_ || !FlushFileBuffers(pending_->file.Get())) {
    result = CommitResult::WriteFailed;
  } else if (!KeepPermissions(pending_->earlier, pending_->file.Get())) {
    result = CommitResult::CannotReplace;
  }
  if (result != CommitResult::Committed && failureReason_.empty()) {
    failureReason_ = ReasonFor(GetLastError());
  }
  return result;
}

// The mark for deletion taken back, the step short of the rename that can
// be refused; put back when another file of the commit cannot be readied.
CsvFile::CommitResult CsvFile::ReadyToPlace() {
  if (MarkForDeletion(pending_->file.Get(), false)) return CommitResult::Committed;
  failureReason_ = ReasonFor(GetLastError());
  return CommitResult::CannotReplace;
}

void CsvFile::UndoReady() noexcept { MarkForDeletion(pending_->file.Get(), true); }

// The handles let go, and the one call that changes the CSV. Alone, the
// mark is taken back at the last moment here.
CsvFile::CommitResult CsvFile::PutInPlace() {
  if (!completed_ && ReadyToPlace() != CommitResult::Committed) return CommitResult::CannotReplace;
  pending_->file.Close();
  pending_->earlier.Close();
  if (!MoveFileExW(pending_->temporary.c_str(), pending_->target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    failureReason_ = ReasonFor(GetLastError());
    return CommitResult::CannotReplace;
  }
  pending_->temporary.clear();
  return CommitResult::Committed;
}

// Windows has no signals to hold: the renames follow each other at once,
// and only a kill or a power cut between two of them leaves a mix.
void CsvFile::InHeldSteps(const std::function<void()>& steps) { steps(); }

// MOVEFILE_WRITE_THROUGH has made each rename durable.
void CsvFile::FlushFolders(std::span<CsvFile* const> /*files*/) {}

}  // namespace ravuvur
