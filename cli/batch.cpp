#include "cli/batch.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "cli/console.h"
#include "cli/csv_claims.h"
#include "conversion/csv_file.h"
#include "conversion/output_path.h"
#include "conversion/run_conversion.h"
#include "core/text.h"

namespace dta2csv {
namespace {

// The logs of runs that have ended but wait for an earlier run to be
// printed are held in memory up to about this many bytes (a run of 32767
// records logs about 1.3 MB); beyond it no file is started but the first
// one not yet printed.
constexpr std::size_t kHeldLogBudget = std::size_t{16} << 20;
// Runs started and not yet printed, for each thread: room for the others
// to go on while the first waits on a big file.
constexpr std::size_t kRunsInFlightPerThread = 4;

// What a run leaves on standard error, after its log: memory so short that
// the run could not even log 029, and why its CSV could not be made.
void ReportOnStderr(const std::string& file, bool logged, const std::string& csvFailure) {
  // Every run says something; one that could not even say 029 ran out of
  // memory before its first line.
  if (!logged) WriteStderr("dta2csv: out of memory\n");
  // The log's message is fixed; why the CSV could not be made is said here.
  if (!csvFailure.empty()) {
    WriteStderr("dta2csv: " + ravuvur::ShownInLog(ravuvur::DeriveCsvPath(file)) + ": " +
                csvFailure + "\n");
  }
}

int LogLost(const std::string& reason) {
  WriteStderr("dta2csv: cannot write the log: " + reason + "\n");
  return kLogLost;
}

ravuvur::CsvClaim ClaimFor(CsvClaims& claims, std::size_t index) {
  return [&claims, index](const ravuvur::CsvTarget& target) { return claims.Claim(index, target); };
}

// One file after the other, each log printed as the run writes it.
int ConvertOneAtATime(const std::vector<std::string>& files, CsvClaims& claims) {
  std::string logError;
  bool printed = false;
  ravuvur::ModuleState state(ravuvur::LocaleTimeText(), [&](std::string_view lines) {
    printed = true;
    if (logError.empty() && !WriteStdout(lines)) logError = LastErrorText();
  });
  int status = kConverted;
  std::string csvFailure;
  for (std::size_t index = 0; index < files.size(); ++index) {
    printed = false;
    if (!ravuvur::RunConversion(state, files[index], &csvFailure, ClaimFor(claims, index))) {
      status = kNotConverted;
    }
    claims.Ended(index);
    ReportOnStderr(files[index], printed, csvFailure);
    if (!logError.empty()) return LogLost(logError);
  }
  return status;
}

// Several files at once: a fixed number of threads each run one file at a
// time, keeping its log; this thread prints the logs in order, each once
// its run has ended. The flushes of the CSVs are in flight together (a
// journaling file system shares a commit among them), so the batch goes at
// the disk's pace instead of a flush's latency times the files.
class Pool {
 public:
  Pool(const std::vector<std::string>& files, CsvClaims& claims, std::size_t threads)
      : files_(files),
        claims_(claims),
        threads_(threads),
        runs_(std::min(files.size(), threads * kRunsInFlightPerThread)) {}

  // The exit status; nothing when no thread could be started.
  std::optional<int> Convert() {
    std::vector<std::thread> threads;
    try {
      for (std::size_t k = 0; k < threads_; ++k) threads.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {  // no more threads: those there are do it
    } catch (const std::bad_alloc&) {
    }
    if (threads.empty()) return std::nullopt;
    int status = kNotConverted;
    try {
      status = PrintInOrder();
    } catch (...) {
      Stop(threads);
      throw;
    }
    Stop(threads);
    return logError_.empty() ? status : LogLost(logError_);
  }

 private:
  struct Run {
    std::unique_ptr<ravuvur::ModuleState> state;  // none when memory ran out first
    bool ended = false;
    bool converted = false;
    std::string csvFailure;
  };

  Run& RunOf(std::size_t index) { return runs_[index % runs_.size()]; }

  // A thread's work: the next file, as long as the bounds allow.
  void Work() {
    for (;;) {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || next_ == files_.size() || MayStart(); });
      if (stopping_ || next_ == files_.size()) return;
      const std::size_t index = next_++;
      lock.unlock();
      Run& run = RunOf(index);
      try {
        run.state = std::make_unique<ravuvur::ModuleState>(ravuvur::LocaleTimeText());
        run.converted = ravuvur::RunConversion(*run.state, files_[index], &run.csvFailure,
                                               ClaimFor(claims_, index));
      } catch (const std::bad_alloc&) {  // before the run could log anything
        run.state.reset();
      }
      claims_.Ended(index);
      lock.lock();
      run.ended = true;
      if (run.state) held_ += run.state->log.Text().size();
      changed_.notify_all();
    }
  }

  // With mutex_ held: a run slot is free, and the logs held leave room (the
  // first file not yet printed always starts).
  bool MayStart() const {
    return next_ - printed_ < runs_.size() && (held_ < kHeldLogBudget || next_ == printed_);
  }

  int PrintInOrder() {
    int status = kConverted;
    for (; printed_ < files_.size();) {
      Run& run = RunOf(printed_);
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return next_ > printed_ && run.ended; });
      }
      const bool logged = run.state && !run.state->log.empty();
      if (!run.converted) status = kNotConverted;
      if (logged && !WriteStdout(run.state->log.Text())) {
        logError_ = LastErrorText();
        return status;
      }
      ReportOnStderr(files_[printed_], logged, run.csvFailure);
      const std::size_t bytes = logged ? run.state->log.Text().size() : 0;
      run.state.reset();
      run.csvFailure.clear();
      const std::lock_guard lock(mutex_);
      run.ended = false;
      held_ -= bytes;
      ++printed_;
      changed_.notify_all();
    }
    return status;
  }

  // No further file is started; the runs in progress end first.
  void Stop(std::vector<std::thread>& threads) {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
      changed_.notify_all();
    }
    for (std::thread& thread : threads) thread.join();
  }

  const std::vector<std::string>& files_;
  CsvClaims& claims_;
  const std::size_t threads_;
  std::vector<Run> runs_;  // run i in slot i % size: at most size in flight

  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t next_ = 0;     // the next file to start
  std::size_t printed_ = 0;  // files whose logs are printed (this thread's alone)
  std::size_t held_ = 0;     // bytes of the logs of ended runs not yet printed
  bool stopping_ = false;
  std::string logError_;
};

}  // namespace

int ConvertFiles(const std::vector<std::string>& files, std::size_t jobs) {
  CsvClaims claims(files);
  std::size_t threads = std::min(
      {jobs, files.size(), static_cast<std::size_t>(ravuvur::CsvFile::kMaxPendingInProcess)});
  if (threads > 1) threads = std::min(threads, FilesItMayOpen() / ravuvur::kFilesOpenPerRun);
  if (threads > 1) {
    Pool pool(files, claims, threads);
    if (const std::optional<int> status = pool.Convert()) return *status;
  }
  return ConvertOneAtATime(files, claims);
}

}  // namespace dta2csv
