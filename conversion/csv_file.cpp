// The part of the CSV file that is the same on every platform: the buffer
// the rows are collected in. Committing them is the platform's
// (csv_file_posix.cpp, csv_file_windows.cpp).

#include "conversion/csv_file.h"

#include <algorithm>
#include <cstring>

namespace ravuvur {

void CsvFile::Grow(std::size_t bytes) {
  const std::size_t capacity = std::max({kFlushSize + 4096, 2 * capacity_, used_ + bytes});
  auto grown = std::make_unique_for_overwrite<char[]>(capacity);
  if (used_ > 0) std::memcpy(grown.get(), buffer_.get(), used_);
  buffer_ = std::move(grown);
  capacity_ = capacity;
}

}  // namespace ravuvur
