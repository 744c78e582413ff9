#pragma once

#include <string>
#include <vector>

// Running the dta2csv program from the tests, as a shell would.
namespace ziz_test {

struct Dta2csvResult {
  int status = -1;
  std::string out;  // what `streams` captured of standard output and error
};

// The argument between single quotes, for a POSIX shell.
std::string Quote(const std::string& arg);

// Runs dta2csv in `dir` with `args`, under the C locale unless `env` says
// otherwise; `streams` picks what is captured ("2>/dev/null" keeps stdout).
Dta2csvResult RunDta2csv(const std::string& dir, const std::vector<std::string>& args,
                         const std::string& streams = "2>&1", const std::string& env = "LC_ALL=C");

// The log's lines, each without its time text.
std::vector<std::string> LogMessages(const std::string& log);

}  // namespace ziz_test
