#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Converting the files of one call, each log printed whole and in the
// order of the arguments.
namespace dta2csv {

// Exit statuses of dta2csv.
constexpr int kConverted = 0;     // every file converted
constexpr int kNotConverted = 1;  // at least one not
constexpr int kUsageError = 2;
constexpr int kLogLost = 3;  // the log could not be written

// Files converted at once when -j does not say: enough flushes in flight
// together to keep the disk busy; more gained nothing on this machine.
constexpr std::size_t kDefaultJobs = 16;

// Converts `files`, at most `jobs` at once (fewer where the process may
// not open enough files for that many), and prints each run's log on
// standard output, whole and in the order of `files`, once the run has
// ended (so once its CSV is on disk); with one job (or one file) each log
// as it is written, one file after the other. Two files that would write
// one CSV: the later one is refused (030). A log that cannot be printed
// ends the batch once the runs in progress have ended; no further file is
// started. Returns the exit status.
int ConvertFiles(const std::vector<std::string>& files, std::size_t jobs);

}  // namespace dta2csv
