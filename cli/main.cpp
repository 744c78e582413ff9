// dta2csv: converts movement files from the command line, one run per
// file, exactly as the window's Ok button does, printing each run's log.

#include <string>
#include <string_view>
#include <vector>

#include "cli/console.h"
#include "conversion/run_conversion.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: dta2csv [--] FILE...\n"
    "       dta2csv --help | --version\n"
    "\n"
    "Converts each movement FILE (KOVA/DTA) into a CSV file beside it, named\n"
    "like FILE with its last four characters replaced by \".CSV\", and prints\n"
    "each conversion's log. An earlier CSV is replaced only by a complete one.\n"
    "\n"
    "Exit status: 0 when every file was converted, 1 when any was not,\n"
    "2 for a usage error.\n";

constexpr int kConverted = 0;
constexpr int kNotConverted = 1;
constexpr int kUsageError = 2;

int UsageError(const std::string& what) {
  dta2csv::WriteStderr("dta2csv: " + what + "\n");
  dta2csv::WriteStderr(kUsage);
  return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
  dta2csv::PrepareConsole();

  std::vector<std::string> files;
  bool optionsEnded = false;
  for (std::string& arg : dta2csv::Utf8Arguments(argc, argv)) {
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg == "--help") {
      dta2csv::WriteStdout(kUsage);
      return kConverted;
    } else if (!optionsEnded && arg == "--version") {
      dta2csv::WriteStdout("dta2csv 0.9\n");
      return kConverted;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option '" + arg + "'");
    } else {
      files.push_back(std::move(arg));
    }
  }
  if (files.empty()) return UsageError("no FILE given");

  ravuvur::ModuleState state;
  int status = kConverted;
  for (const std::string& file : files) {
    if (!ravuvur::RunConversion(state, file)) status = kNotConverted;
    if (!dta2csv::WriteStdout(state.log.Text())) {
      dta2csv::WriteStderr("dta2csv: cannot write the log: " + dta2csv::LastErrorText() + "\n");
      return kNotConverted;
    }
  }
  return status;
}
