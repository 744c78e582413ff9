// dta2csv: converts movement files from the command line, one run per
// file, exactly as the window's Ok button does, printing each run's log;
// or, with --report, counts many files into a report (report_command.h).

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch.h"
#include "cli/console.h"
#include "cli/report_command.h"
#include "core/text.h"

namespace {

using dta2csv::kConverted;
using dta2csv::kLogLost;
using dta2csv::kNotConverted;
using dta2csv::kUsageError;

constexpr std::string_view kUsage =
    "Usage: dta2csv [-j N] [--] FILE...\n"
    "       dta2csv --report DIR [--] INPUT...\n"
    "       dta2csv --help | --version\n"
    "\n"
    "Converts each movement FILE (KOVA/DTA) into a CSV file beside it, named\n"
    "like FILE with its last four characters replaced by \".CSV\", and prints\n"
    "each conversion's log, whole and in the order of the FILEs. An earlier\n"
    "CSV is replaced only by a complete one. A FILE whose CSV an earlier FILE\n"
    "writes is not converted.\n"
    "\n"
    "  -j N   convert at most N files at once (default 16); -j 1 converts one\n"
    "         after the other, printing each log as it is written\n"
    "\n"
    "With --report, converts nothing: counts the movements of every INPUT (a\n"
    "movement file, or a folder whose *.DAT files are read) by station, day\n"
    "and hour, and writes three files into the existing folder DIR:\n"
    "TOTAL-DIARIO.CSV (a row per station and day), MOV-POR-HORA.CSV (24 rows\n"
    "per station and day) and RELATORIO.HTML (a page with charts and both\n"
    "tables). A file a conversion would refuse is named on standard error and\n"
    "counts nothing; the report is written from the others.\n"
    "\n"
    "Exit status: 0 when every file was converted (or counted, and the report\n"
    "written), 1 when any was not (or the report could not be written),\n"
    "2 for a usage error, 3 when the log could not be written.\n";

// Windows programs print their usage for /?; elsewhere it is a path.
#if defined(_WIN32)
constexpr bool kSlashQuestionIsHelp = true;
#else
constexpr bool kSlashQuestionIsHelp = false;
#endif

// The usage or the version, which like the log must not fail unsaid.
int PrintText(std::string_view text) {
  if (dta2csv::WriteStdout(text)) return kConverted;
  dta2csv::WriteStderr("dta2csv: cannot write: " + dta2csv::LastErrorText() + "\n");
  return kLogLost;
}

// An argument as the log shows a name (a globbed file name can hold
// anything), between quotes.
std::string Shown(const std::string& arg) {
  const std::string shown = ravuvur::ShownInLog(arg);
  return shown == arg ? "'" + arg + "'" : shown;
}

int UsageError(const std::string& what) {
  dta2csv::WriteStderr("dta2csv: " + what + "\n");
  dta2csv::WriteStderr(kUsage);
  return kUsageError;
}

// The N of -j N: a whole number from 1 up. One beyond what the program
// ever runs at once only means no limit of its own.
std::optional<std::size_t> JobsValue(std::string_view text) {
  std::size_t jobs = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
  if (end != text.data() + text.size() || text.empty()) return std::nullopt;
  if (error == std::errc::result_out_of_range) return SIZE_MAX;
  if (error != std::errc() || jobs == 0) return std::nullopt;
  return jobs;
}

int Main(int argc, char** argv) {
  dta2csv::PrepareConsole();

  std::vector<std::string> arguments = dta2csv::Utf8Arguments(argc, argv);
  if (!arguments.empty() && arguments.front() == "--report") {
    return dta2csv::RunReportCommand({arguments.begin() + 1, arguments.end()});
  }

  std::vector<std::string> files;
  std::vector<std::string> unmatched;  // patterns that matched no file
  std::size_t jobs = dta2csv::kDefaultJobs;
  bool optionsEnded = false;
  bool jobsNext = false;  // the argument after a lone -j
  for (std::string& arg : arguments) {
    if (jobsNext || (!optionsEnded && arg.starts_with("-j"))) {
      // -j N or -jN
      const std::string value = jobsNext ? arg : arg.substr(2);
      jobsNext = !jobsNext && value.empty();
      if (jobsNext) continue;
      const std::optional<std::size_t> parsed = JobsValue(value);
      if (!parsed) return UsageError("-j takes a number of files from 1 up, not " + Shown(value));
      jobs = *parsed;
    } else if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (arg == "--help" || (kSlashQuestionIsHelp && arg == "/?"))) {
      return PrintText(kUsage);
    } else if (!optionsEnded && arg == "--version") {
      return PrintText("dta2csv 0.9\n");
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + Shown(arg));
    } else {
      const std::vector<std::string> named = dta2csv::FilesNamedBy(arg);
      if (named.empty()) unmatched.push_back(std::move(arg));
      files.insert(files.end(), named.begin(), named.end());
    }
  }
  if (jobsNext) return UsageError("-j takes a number of files");
  for (const std::string& pattern : unmatched) {
    dta2csv::WriteStderr("dta2csv: no file matches " + ravuvur::ShownInLog(pattern) + "\n");
  }
  if (files.empty() && unmatched.empty()) return UsageError("no FILE given");
  const int status = dta2csv::ConvertFiles(files, jobs);
  return unmatched.empty() ? status : std::max(status, kNotConverted);
}

// Memory so short that not even the exception saying so can be made ends
// the process through here: one line, no abort.
[[noreturn]] void OnTerminate() {
  bool outOfMemory = std::current_exception() == nullptr;
  try {
    if (!outOfMemory) std::rethrow_exception(std::current_exception());
  } catch (const std::bad_alloc&) {
    outOfMemory = true;
  } catch (...) {
  }
  dta2csv::WriteStderr(outOfMemory ? "dta2csv: out of memory\n" : "dta2csv: internal error\n");
  std::_Exit(kNotConverted);
}

}  // namespace

int main(int argc, char** argv) {
  std::set_terminate(OnTerminate);
  try {
    return Main(argc, argv);
  } catch (const std::bad_alloc&) {
    // The engine reports its own; this is memory that ran out around it.
    dta2csv::WriteStderr("dta2csv: out of memory\n");
    return kNotConverted;
  }
}
