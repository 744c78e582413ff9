#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Running a conversion, or any step, in a child process: as another user,
// under a resource limit, or to be stopped by a signal. POSIX only.
namespace ziz_test {

// The user whose files nobody else cares about: the one a root test run
// becomes to try what an ordinary user may and may not do.
inline constexpr uid_t kNobody = 65534;
inline constexpr gid_t kNoGroup = 65534;

bool IsRoot();
// Makes the calling process the user nobody when it is root (for a child:
// never call it in the test process itself); does nothing otherwise, since
// the process is unprivileged already.
void BecomeUnprivileged();

struct ChildRun {
  int status = -1;                    // 0 converted, 1 not; 128 + signal if killed
  std::vector<std::string> messages;  // the log's lines without their time text
};

// Converts `input` in a child process that first calls `prepare` (lower a
// limit, become unprivileged, ...).
ChildRun ConvertInChild(const std::string& input, const std::function<void()>& prepare);

// Runs `body` in a child process; its return value is the child's exit
// status. Returns that status, or 128 + the signal that ended it.
int InChild(const std::function<int()>& body);
int WaitFor(pid_t child);

// A movement file whose conversion takes a while: 3000 departures (so rows
// have reached the new CSV), then one line of 1 GiB of zero bytes, kept
// sparse so it costs no disk, that the run has to read through.
void WriteSlowMovementFile(const std::string& path);

// Starts `run` in a child process (without a core file), waits until the
// child holds a new file open in `folder` (one other than `input`) and
// `ready` (when given) holds, and sends it `signal`. Returns 128 + the
// signal that ended the child, its exit status otherwise, or -1 when that
// moment did not come within ten seconds.
// "INT", "TERM", ...: a signal's name, for parameterised test names.
std::string SignalName(const ::testing::TestParamInfo<int>& signal);

int InterruptMidRun(const std::string& folder, const std::string& input, int signal,
                    const std::function<void()>& run, const std::function<bool()>& ready = {});

}  // namespace ziz_test
