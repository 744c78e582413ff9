#include "conversion/csv_file.h"

// The order of a commit's steps, the same on every platform; the steps
// themselves are in csv_file_posix.cpp and csv_file_windows.cpp.
namespace ravuvur {

CsvFile::CommitResult CsvFile::Commit() {
  CommitResult result = Finish();
  if (result == CommitResult::Committed) result = PutInPlace();
  CsvFile* const self = this;
  if (result == CommitResult::Committed) FlushFolders(std::span(&self, 1));
  Discard();
  return result;
}

CsvFile::CommitResult CsvFile::Complete() {
  if (!completed_) completed_ = Finish();
  return *completed_;
}

CsvFile::TogetherOutcome CsvFile::CommitTogether(std::span<CsvFile* const> files) {
  TogetherOutcome outcome;
  CommitResult& result = outcome.result;
  for (std::size_t& failedAt = outcome.failed; failedAt < files.size(); ++failedAt) {
    result = files[failedAt]->Complete();
    if (result != CommitResult::Committed) break;
  }
  if (result == CommitResult::Committed) {
    // All of them in place, or none but for what cannot be held back.
    InHeldSteps([&] {
      // Every one readied before the first is put in place, so that one
      // refused leaves every earlier file as it was.
      for (std::size_t& readied = outcome.failed = 0; readied < files.size(); ++readied) {
        result = files[readied]->ReadyToPlace();
        if (result != CommitResult::Committed) {
          for (std::size_t k = 0; k < readied; ++k) files[k]->UndoReady();
          return;
        }
      }
      for (std::size_t& placed = outcome.placed; placed < files.size(); ++placed) {
        result = files[placed]->PutInPlace();
        if (result != CommitResult::Committed) {
          for (std::size_t k = placed + 1; k < files.size(); ++k) files[k]->UndoReady();
          break;
        }
      }
      outcome.failed = outcome.placed;
    });
  }
  if (result == CommitResult::Committed) FlushFolders(files);
  for (CsvFile* const file : files) file->Discard();
  return outcome;
}

}  // namespace ravuvur
