#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "conversion/csv_target.h"
#include "conversion/input_file.h"
#include "core/byte_buffer.h"

namespace ravuvur {

// The CSV file of a run, written all or nothing: rows go to a new file
// beside the CSV, which takes the CSV's place only when every write
// succeeded; otherwise a CSV that existed before stays byte for byte as it
// was. An operator who converts a bad file by mistake never loses the good
// CSV. What exactly each platform guarantees, and how, is stated at the top
// of its implementation (csv_file_posix.cpp, csv_file_windows.cpp).
class CsvFile {
 public:
  enum class CreateResult { Created, CannotCreate, SameAsInput, NotThisRuns };
  enum class CommitResult { Committed, WriteFailed, CannotReplace };

  // Several CSV files may be pending at once, one per thread; a process
  // keeps at most this many in progress (a hidden named file of each is
  // registered for removal on a signal, in a table of this size).
  static constexpr int kMaxPendingInProcess = 64;

  CsvFile();
  ~CsvFile();  // discards what was not committed
  CsvFile(const CsvFile&) = delete;
  CsvFile& operator=(const CsvFile&) = delete;

  // Prepares to write the CSV at `csvPath` (UTF-8). Refuses the input
  // itself (SameAsInput), and a folder, a device or a file that cannot be
  // written (CannotCreate). Once the CSV is found, and before any file is
  // made, `mayWrite` (when given) is asked about it: false gives
  // NotThisRuns, and nothing is written.
  CreateResult Create(std::string_view csvPath, const FileIdentity& input,
                      const std::function<bool(const CsvTarget&)>& mayWrite = {}) {
    return Create(csvPath, std::span<const FileIdentity>(&input, 1), mayWrite);
  }
  // The same for a file made from several inputs: refuses each of them.
  CreateResult Create(std::string_view csvPath, std::span<const FileIdentity> inputs,
                      const std::function<bool(const CsvTarget&)>& mayWrite = {});
  bool IsOpen() const noexcept { return pending_ != nullptr; }

  // Place for up to `bytes` more bytes of rows; Wrote says where they end.
  // Rows are collected and written in large blocks.
  char* Room(std::size_t bytes) { return buffer_.Room(bytes); }
  void Wrote(const char* end) {
    buffer_.EndAt(end);
    if (buffer_.size() >= kFlushSize) Flush();
  }

  // Writes what remains and puts the new file in the CSV's place.
  // WriteFailed when a write failed (disk full, file-size limit),
  // CannotReplace when the complete file could not take the CSV's place;
  // either way nothing is left behind and an earlier CSV is as it was.
  CommitResult Commit();

  // The same commit for several files that must replace their earlier
  // selves as one (a report's three files): each is written out and made
  // durable first; then, in one step that no catchable signal cuts apart,
  // every one is made ready to take its place (the step that can still be
  // refused) and only then do all take their places; each folder is
  // flushed once after. A failure before the last renaming leaves every
  // earlier file as it was; whatever happens, nothing is left behind.
  struct TogetherOutcome {
    CommitResult result = CommitResult::Committed;
    std::size_t failed = 0;  // the file that failed, when one did
    std::size_t placed = 0;  // files in place before it: none unless it failed in the last step
  };
  static TogetherOutcome CommitTogether(std::span<CsvFile* const> files);
  // CommitTogether's first step for this file alone (the rest written out
  // and made durable), so that several files may take it at once, each on
  // its own thread; CommitTogether then goes on from there.
  CommitResult Complete();

  // Drops the new file; the CSV stays as it was.
  void Discard() noexcept;

  // Why the last Create or Commit failed, in the system's words ("Permission
  // denied", "in use by another program"); empty when it did not.
  const std::string& FailureReason() const noexcept { return failureReason_; }

  // Where the platform can write rows to a file without a name until it is
  // complete, it does; true makes it use a hidden named file instead, as it
  // must on file systems without unnamed files. For tests of that path.
  static void UseNamedTemporaryFiles(bool named) noexcept;

 private:
  static constexpr std::size_t kFlushSize = std::size_t{64} * 1024;

  struct Pending;  // the platform's new file, not yet in place
  void Flush();
  // The commit's steps, each platform's own (csv_file.cpp puts them
  // together): writing out and making durable; for several files, readying
  // each to take its place (undone for all when one cannot be); putting it
  // in place (for several files, these two within InHeldSteps); then the
  // flush of each folder.
  CommitResult Finish();
  CommitResult ReadyToPlace();
  void UndoReady() noexcept;
  CommitResult PutInPlace();
  static void InHeldSteps(const std::function<void()>& steps);
  static void FlushFolders(std::span<CsvFile* const> files);
  std::string_view Held() const noexcept { return buffer_.View(); }

  std::unique_ptr<Pending> pending_;
  ByteBuffer buffer_{kFlushSize + 4096};
  bool failed_ = false;
  std::optional<CommitResult> completed_;  // once Complete has been taken
  std::string failureReason_;
};

}  // namespace ravuvur
