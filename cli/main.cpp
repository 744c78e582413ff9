// dta2csv: converts movement files from the command line, one run per
// file, exactly as the window's Ok button does, printing each run's log;
// or, with --report, counts many files into a report (report_command.h).

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console.h"
#include "cli/report_command.h"
#include "conversion/output_path.h"
#include "conversion/run_conversion.h"
#include "core/text.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: dta2csv [--] FILE...\n"
    "       dta2csv --report DIR [--] INPUT...\n"
    "       dta2csv --help | --version\n"
    "\n"
    "Converts each movement FILE (KOVA/DTA) into a CSV file beside it, named\n"
    "like FILE with its last four characters replaced by \".CSV\", and prints\n"
    "each conversion's log. An earlier CSV is replaced only by a complete one.\n"
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

constexpr int kConverted = 0;
constexpr int kNotConverted = 1;
constexpr int kUsageError = 2;
constexpr int kLogLost = 3;

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

int UsageError(const std::string& what) {
  dta2csv::WriteStderr("dta2csv: " + what + "\n");
  dta2csv::WriteStderr(kUsage);
  return kUsageError;
}

// Converts each file in turn, printing each run's log as it is written.
// A log that cannot be printed ends the batch after the run in progress:
// its conversion completes, no further file is converted.
int ConvertAll(const std::vector<std::string>& files) {
  std::string logError;
  bool printed = false;
  ravuvur::ModuleState state(ravuvur::LocaleTimeText(), [&](std::string_view lines) {
    printed = true;
    if (logError.empty() && !dta2csv::WriteStdout(lines)) logError = dta2csv::LastErrorText();
  });
  int status = kConverted;
  std::string csvFailure;
  for (const std::string& file : files) {
    printed = false;
    if (!ravuvur::RunConversion(state, file, &csvFailure)) status = kNotConverted;
    // Every run says something; one that could not even say 029 ran out
    // of memory before its first line.
    if (!printed) dta2csv::WriteStderr("dta2csv: out of memory\n");
    // The log's message is fixed; why the CSV could not be made is said here.
    if (!csvFailure.empty()) {
      dta2csv::WriteStderr("dta2csv: " + ravuvur::ShownInLog(ravuvur::DeriveCsvPath(file)) + ": " +
                           csvFailure + "\n");
    }
    if (!logError.empty()) {
      dta2csv::WriteStderr("dta2csv: cannot write the log: " + logError + "\n");
      return kLogLost;
    }
  }
  return status;
}

int Main(int argc, char** argv) {
  dta2csv::PrepareConsole();

  std::vector<std::string> arguments = dta2csv::Utf8Arguments(argc, argv);
  if (!arguments.empty() && arguments.front() == "--report") {
    return dta2csv::RunReportCommand({arguments.begin() + 1, arguments.end()});
  }

  std::vector<std::string> files;
  std::vector<std::string> unmatched;  // patterns that matched no file
  bool optionsEnded = false;
  for (std::string& arg : arguments) {
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (arg == "--help" || (kSlashQuestionIsHelp && arg == "/?"))) {
      return PrintText(kUsage);
    } else if (!optionsEnded && arg == "--version") {
      return PrintText("dta2csv 0.9\n");
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      // Shown as the log shows a name: a globbed file name can hold anything.
      const std::string shown = ravuvur::ShownInLog(arg);
      return UsageError("unknown option " + (shown == arg ? "'" + arg + "'" : shown));
    } else {
      const std::vector<std::string> named = dta2csv::FilesNamedBy(arg);
      if (named.empty()) unmatched.push_back(std::move(arg));
      files.insert(files.end(), named.begin(), named.end());
    }
  }
  for (const std::string& pattern : unmatched) {
    dta2csv::WriteStderr("dta2csv: no file matches " + ravuvur::ShownInLog(pattern) + "\n");
  }
  if (files.empty() && unmatched.empty()) return UsageError("no FILE given");
  const int status = ConvertAll(files);
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
