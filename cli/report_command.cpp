#include "cli/report_command.h"

#include <string_view>

#include "cli/console.h"
#include "core/text.h"
#include "report/report_run.h"

namespace dta2csv {
namespace {

constexpr int kWritten = 0;
constexpr int kNotAllCounted = 1;
constexpr int kUsageError = 2;

int UsageError(const std::string& what) {
  WriteStderr("dta2csv: " + what + "\n");
  WriteStderr("Usage: dta2csv --report DIR [--] INPUT...\n(dta2csv --help tells more)\n");
  return kUsageError;
}

}  // namespace

int RunReportCommand(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return UsageError("--report needs a folder DIR and an INPUT");
  const std::string& folder = arguments.front();
  if (folder.empty()) return UsageError("DIR is empty");

  std::vector<std::string> inputs;
  std::vector<std::string> unmatched;  // patterns that matched no file
  bool optionsEnded = false;
  for (auto arg = arguments.begin() + 1; arg != arguments.end(); ++arg) {
    if (!optionsEnded && *arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg->size() > 1 && arg->front() == '-') {
      const std::string shown = ravuvur::ShownInLog(*arg);
      return UsageError("unknown option " + (shown == *arg ? "'" + *arg + "'" : shown));
    } else {
      const std::vector<std::string> named = FilesNamedBy(*arg);
      if (named.empty()) unmatched.push_back(*arg);
      inputs.insert(inputs.end(), named.begin(), named.end());
    }
  }
  if (inputs.empty() && unmatched.empty()) return UsageError("no INPUT given");

  // A folder that cannot take the report is said before any file is read.
  std::string failure;
  if (!report::CanWriteReport(folder, failure)) {
    WriteStderr("dta2csv: the report cannot be written: " + failure + "\n");
    return kNotAllCounted;
  }
  for (const std::string& pattern : unmatched) {
    WriteStderr("dta2csv: no file matches " + ravuvur::ShownInLog(pattern) + "\n");
  }
  report::ReportReader reader([](const report::FileNote& note, bool /*counted*/) {
    WriteStderr("dta2csv: " + note.shownName + ": " + note.message + "\n");
  });
  reader.Read(inputs);

  if (!report::WriteReport(folder, reader, failure)) {
    WriteStderr("dta2csv: the report cannot be written: " + failure + "\n");
    return kNotAllCounted;
  }
  return reader.AllCounted() && unmatched.empty() ? kWritten : kNotAllCounted;
}

}  // namespace dta2csv
