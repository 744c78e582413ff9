#pragma once

// A program run as a child process and measured from outside: elapsed
// time, peak memory and page faults. POSIX only.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

struct ProcessRun {
  double ms = 0;
  // Peak resident memory. A spawned child starts out sharing this
  // program's memory, and the kernel counts that in the child's peak: for
  // a child smaller than its parent this is the parent's size (see
  // PeakKibAlone).
  long peakKib = 0;
  long pageFaults = 0;  // minor and major
  int status = -1;
  double cpuMs = 0;  // processor time, user and system, of every thread
};

// Runs `argv` (the program first) with standard output and standard error
// sent to /dev/null, and waits for it.
inline ProcessRun Spawn(std::vector<std::string> argv) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> pointers;
  pointers.reserve(argv.size() + 1);
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ) != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  int raw = 0;
  rusage usage{};
  ::wait4(pid, &raw, 0, &usage);
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - start;
  posix_spawn_file_actions_destroy(&actions);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return {elapsed.count(), usage.ru_maxrss, usage.ru_minflt + usage.ru_majflt,
          WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ms(usage.ru_utime) + ms(usage.ru_stime)};
}

// The peak resident memory of `argv` run on its own: started by GNU time,
// a small program, so that the figure is the child's and not its parent's.
// 0 where /usr/bin/time is missing.
inline long PeakKibAlone(std::vector<std::string> argv) {
  char report[] = "/tmp/ziz-bench-peak.XXXXXX";
  const int fd = ::mkstemp(report);
  if (fd < 0) return 0;
  ::close(fd);
  argv.insert(argv.begin(), {"/usr/bin/time", "-f", "%M", "-o", report});
  long kib = 0;
  if (::access("/usr/bin/time", X_OK) == 0 && Spawn(argv).status >= 0) {
    if (std::FILE* in = std::fopen(report, "r")) {
      if (std::fscanf(in, "%ld", &kib) != 1) kib = 0;
      std::fclose(in);
    }
  }
  ::unlink(report);
  return kib;
}

}  // namespace bench
