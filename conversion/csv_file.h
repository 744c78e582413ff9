#pragma once

#include <csignal>
#include <string>
#include <string_view>

#include "conversion/movement_file.h"

namespace ravuvur {

// The CSV file of a run, written all or nothing. Rows go to a temporary
// file in the CSV's own folder, which replaces the CSV only when every
// write and the close succeeded; otherwise the temporary file is removed
// and a CSV that existed before stays byte for byte as it was. An operator
// who converts a bad file by mistake thus never loses the good CSV.
//
// While the file is open the file-size-limit signal is ignored, so a write
// past the limit fails like any other write instead of killing the process.
class CsvFile {
 public:
  enum class CreateResult { Created, CannotCreate, SameAsInput };

  CsvFile() = default;
  ~CsvFile();
  CsvFile(const CsvFile&) = delete;
  CsvFile& operator=(const CsvFile&) = delete;

  // Prepares to write `csvPath`. Refuses a path that names the input
  // itself, a folder, a device, or a file that cannot be written. Where
  // `csvPath` is a symbolic link the link's target is replaced, not the link.
  CreateResult Create(const std::string& csvPath, const FileIdentity& input);
  bool IsOpen() const noexcept { return fd_ >= 0; }

  // Rows are collected here and written in large blocks.
  std::string& Buffer() noexcept { return buffer_; }
  // Writes the buffer out once it is large.
  void FlushIfFull();

  // Writes what remains, closes and puts the file in place. False when any
  // write failed or the file could not be put in place; nothing is left
  // behind then.
  bool Commit();
  // Drops the temporary file; the CSV stays as it was.
  void Discard() noexcept;

 private:
  void Flush();
  void RestoreSignal() noexcept;

  int fd_ = -1;
  bool failed_ = false;
  std::string buffer_;
  std::string target_;
  std::string temporary_;
  struct sigaction previousSizeSignal_ {};
};

}  // namespace ravuvur
