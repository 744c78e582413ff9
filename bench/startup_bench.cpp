// bench_startup [RUNS]: how long zizadod5 takes from being started to its
// window shown. (A full-size conversion in the window is
// bench_window_conversion's.)
//
// Start-up: the program starts itself RUNS times (default 20) as a child
// that builds frmConv exactly as zizadod5 does, shows it, waits until the
// window is exposed and painted, and prints the monotonic clock, which the
// parent compares with the moment it started the child. So the figure
// covers loading the program and its libraries, Qt's start, the fonts,
// building the window and listing the working directory (a scratch folder
// with three movement files). Without DISPLAY or WAYLAND_DISPLAY the
// children run on Qt's offscreen platform.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/spread.h"
#include "window/qt/frm_conv.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC: one clock for every process

long long NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
      .count();
}

constexpr const char* kChildFlag = "--child";
constexpr const char* kRecord =
    "SBJD MV  061226PRJGA  C172V SBKP0705        01 18    AER1  local\r\n";

bool WriteMovementFile(const QString& path, int records) {
  QByteArray text = "SBJD DTA0612 " + QByteArray::number(records).rightJustified(5, '0') + "\r\n";
  for (int i = 0; i < records; ++i) text += kRecord;
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// The child: start as zizadod5 does, print the clock once the window is up.
int ShowWindowAndReport(int argc, char** argv) {
  const long long entered = NowNs();
  QApplication app(argc, argv);
  frmConv window;
  window.show();
  while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  QApplication::processEvents();  // the first paint
  std::printf("%lld %lld\n", entered, NowNs());
  return 0;
}

struct Sample {
  double toShownMs;
  double inMainMs;
};

bool RunChild(const char* self, Sample& sample) {
  int out[2];
  if (pipe(out) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char* args[] = {const_cast<char*>(self), const_cast<char*>(kChildFlag), nullptr};

  const long long started = NowNs();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, self, &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return false;
  }
  std::string reply;
  char buffer[128];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
    reply.append(buffer, static_cast<std::size_t>(n));
  }
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);

  long long entered = 0;
  long long shown = 0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(reply.c_str(), "%lld %lld", &entered, &shown) != 2) {
    return false;
  }
  sample = {static_cast<double>(shown - started) / 1e6, static_cast<double>(shown - entered) / 1e6};
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], kChildFlag) == 0) return ShowWindowAndReport(argc, argv);

  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  const char* platform = std::getenv("QT_QPA_PLATFORM");

  QTemporaryDir folder;
  for (const char* name : {"MOV0612.DAT", "MOV0712.DAT", "MOV0812.DAT"}) {
    if (!folder.isValid() || !WriteMovementFile(QDir(folder.path()).filePath(name), 3)) {
      std::fprintf(stderr, "bench_startup: cannot write the scratch folder\n");
      return 1;
    }
  }
  const QString here = QDir::currentPath();
  QDir::setCurrent(folder.path());

  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return 1;
  self[length] = '\0';

  std::vector<double> toShown;
  std::vector<double> inMain;
  for (int run = 0; run < runs; ++run) {
    Sample sample{};
    if (!RunChild(self, sample)) {
      std::fprintf(stderr, "bench_startup: run %d failed\n", run + 1);
      return 1;
    }
    toShown.push_back(sample.toShownMs);
    inMain.push_back(sample.inMainMs);
  }
  std::printf("zizadod5 start-up, %d runs, platform %s:\n", runs,
              platform != nullptr ? platform : "(Qt's default)");
  bench::PrintSpread("  started -> window shown", toShown);
  bench::PrintSpread("  of which main() -> window shown", inMain);

  QDir::setCurrent(here);
  return 0;
}
