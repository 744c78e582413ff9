#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "conversion/input_file.h"
#include "conversion/movement_file.h"
#include "report/tally.h"

// Reading movement files for a report: one file's count, and many files
// read on a few threads but handed over in the order they were named.
namespace report {

// What reading one movement file gave.
struct FileRead {
  bool opened = false;
  ravuvur::FileIdentity identity;  // when opened
  bool counted = false;            // its records are in `tally`
  std::string note;                // what is said of it (a log message); empty for nothing
  Tally tally;

  void Clear() noexcept;
};

// Reads the movement file `path` through `file`, counting exactly the
// records a conversion would process: the header's count drives the loop,
// a file that ends early counts what it holds (027), and a file a
// conversion would refuse (021: missing, unreadable, a folder, a device;
// 026: a count beyond 16 bits; 028: a read error) counts nothing at all.
void ReadMovementFile(const std::string& path, ravuvur::MovementFile& file, FileRead& into);

// Reads `count` files on up to `threads` threads (this one among them),
// each with ReadMovementFile, and hands each one's FileRead to `take`, in
// order (index 0, 1, ...) and never two at once, on whichever thread is
// free. `path(i)` names file i, or gives nothing for an item that is not
// to be read (`take` then gets an empty FileRead). A few files per thread
// are read ahead at most, so memory stays that of a few files' counts
// whatever `count` is. What `take` throws ends the reading and is thrown
// here.
void ReadInOrder(std::size_t count, std::size_t threads,
                 const std::function<const std::string*(std::size_t)>& path,
                 const std::function<void(std::size_t, FileRead&)>& take);

}  // namespace report
