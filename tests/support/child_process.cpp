#include "tests/support/child_process.h"

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "conversion/run_conversion.h"
#include "tests/support/test_files.h"

namespace ziz_test {

bool IsRoot() { return ::geteuid() == 0; }

void BecomeUnprivileged() {
  if (!IsRoot()) return;
  if (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0) {
    ::_exit(99);
  }
}

int WaitFor(pid_t child) {
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int InChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  return WaitFor(child);
}

ChildRun ConvertInChild(const std::string& input, const std::function<void()>& prepare) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    prepare();
    ravuvur::ModuleState state = FixedClockState();
    const bool ok = RunConversion(state, input);
    const std::string_view text = state.log.Text();
    for (std::size_t at = 0; at < text.size();) {
      const ssize_t n = ::write(fds[1], text.data() + at, text.size() - at);
      if (n <= 0) break;
      at += static_cast<std::size_t>(n);
    }
    ::_exit(ok ? 0 : 1);
  }
  ::close(fds[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  ChildRun run;
  run.status = WaitFor(child);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end - at);
    run.messages.push_back(line.substr(line.find(' ') + 1));
    at = end + 1;
  }
  return run;
}

void WriteSlowMovementFile(const std::string& path) {
  WriteFile(path, MovementFile("32767", std::vector<Record>(3000, Departure())) + "X");
  std::filesystem::resize_file(path, std::filesystem::file_size(path) + (std::uintmax_t{1} << 30));
}

namespace {

// Whether process `pid` has a file open in `folder` other than `input`:
// the new CSV, named or not ("/folder/#1234 (deleted)").
bool HoldsNewFileIn(pid_t pid, const std::string& folder, const std::string& input) {
  std::error_code error;
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  for (const auto& entry : std::filesystem::directory_iterator(fds, error)) {
    const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    if (!error && target.rfind(folder + "/", 0) == 0 && target != input) return true;
  }
  return false;
}

}  // namespace

std::string SignalName(const ::testing::TestParamInfo<int>& signal) {
  return sigabbrev_np(signal.param);
}

int InterruptMidRun(const std::string& folder, const std::string& input, int signal,
                    const std::function<void()>& run, const std::function<bool()>& ready) {
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    // A suite started in the background of a script inherits SIGINT and
    // SIGQUIT ignored; the run must meet the signal as a terminal sends it.
    ::signal(signal, SIG_DFL);
    run();
    ::_exit(0);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool seen = false;
  while (!(seen = HoldsNewFileIn(child, folder, input) && (!ready || ready())) &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::kill(child, seen ? signal : SIGKILL);
  const int status = WaitFor(child);
  return seen ? status : -1;
}

}  // namespace ziz_test
