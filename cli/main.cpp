// dta2csv: converts movement files from the command line, one run per
// file, exactly as the window's Ok button does, printing each run's log.

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

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

void Print(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

int main(int argc, char** argv) {
  // The log's time text follows the user's locale (LC_ALL / LC_TIME).
  std::setlocale(LC_ALL, "");

  std::vector<std::string_view> files;
  bool optionsEnded = false;
  for (int k = 1; k < argc; ++k) {
    const std::string_view arg = argv[k];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg == "--help") {
      Print(stdout, kUsage);
      return kConverted;
    } else if (!optionsEnded && arg == "--version") {
      Print(stdout, "dta2csv 0.9\n");
      return kConverted;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "dta2csv: unknown option '%s'\n", argv[k]);
      Print(stderr, kUsage);
      return kUsageError;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    Print(stderr, "dta2csv: no FILE given\n");
    Print(stderr, kUsage);
    return kUsageError;
  }

  ravuvur::ModuleState state;
  int status = kConverted;
  for (const std::string_view file : files) {
    if (!ravuvur::RunConversion(state, file)) status = kNotConverted;
    Print(stdout, state.log.Text());
  }
  if (std::fflush(stdout) != 0) {
    std::fprintf(stderr, "dta2csv: cannot write the log: %s\n", std::strerror(errno));
    return kNotConverted;
  }
  return status;
}
