#include "tests/cli/run_dta2csv.h"

#include <sys/wait.h>

#include <cstdio>

namespace ziz_test {

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

Dta2csvResult RunDta2csv(const std::string& dir, const std::vector<std::string>& args,
                         const std::string& streams, const std::string& env) {
  std::string command = "cd " + Quote(dir) + " && env " + env + " " + Quote(DTA2CSV_PATH);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " " + streams;
  Dta2csvResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::vector<std::string> LogMessages(const std::string& log) {
  std::vector<std::string> messages;
  for (std::size_t at = 0; at < log.size();) {
    const std::size_t end = log.find('\n', at);
    const std::string line = log.substr(at, end - at);
    messages.push_back(line.substr(line.find(' ') + 1));
    at = end == std::string::npos ? log.size() : end + 1;
  }
  return messages;
}

}  // namespace ziz_test
