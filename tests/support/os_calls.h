#pragma once

#include <cerrno>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

// Operating-system calls that a test program linking os_calls.cpp swaps
// for its own, to make them fail or count them. The program's calls go
// through these wrappers; the rest of the process is unaffected while the
// settings below are at their defaults. POSIX only.
namespace ziz_test::os_calls {

// The read() of a regular file, counting from 1, that fails with
// readError (EIO: the disk's fault; EINTR: a signal came first); 0 for
// none. Each read of a regular file counts.
inline int failingRead = 0;
inline int readsSoFar = 0;
inline int readError = EIO;

// When true, opening an unnamed file (O_TMPFILE) fails as on a file system
// that has none.
inline bool noUnnamedFiles = false;

// When true, getrandom() fails as before the kernel's pool is ready.
inline bool noRandom = false;

// The first this many files created with O_EXCL fail with EEXIST, as names
// another user made ahead would; every name tried so, in order.
inline int namesTaken = 0;
inline std::vector<std::string> exclusiveNames;

// The linkat() call, counting from 1, that fails with ENOSPC (a folder
// that cannot take another name); 0 for none.
inline int failingLink = 0;
inline int linksSoFar = 0;

// When not 0, fallocate() fails with this error (ENOSPC: a full disk).
inline int fallocateError = 0;

// The names of the files created (O_CREAT), in order, and the
// permission bits each had the moment it was made.
inline std::vector<std::string> created;
inline std::vector<unsigned> createdModes;

// The files flushed to disk (fsync, fdatasync), in order: 'F' for a
// regular file, 'D' for a folder.
inline std::string flushes;

// Called when a regular file is about to be flushed, if set: a step a
// test takes between writing the CSV and putting it in place.
inline std::function<void()> beforeFileFlush;

// What time() returns while set; -1 for the real clock.
inline std::time_t now = -1;

}  // namespace ziz_test::os_calls
