// bench_window_conversion [RUNS]: how long the window takes, from the Ok
// button's click to lstResultado holding every line of the log, to convert
// a 32767-record movement file (the most a header can announce). Also
// times the same click until the window has painted the result, and
// RunConversion alone for comparison. Prints medians over RUNS runs
// (default 31) after one warm-up run; a benchmark, not a test, it asserts
// nothing about time.
//
// The window is the real frmConv, started in a scratch folder that holds
// the file, with the file's path in txtConverte. Without DISPLAY or
// WAYLAND_DISPLAY it runs on Qt's offscreen platform; under xvfb-run it
// runs on X.

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

#include "bench/movement_day.h"
#include "bench/spread.h"
#include "conversion/run_conversion.h"
#include "window/qt/frm_conv.h"

namespace {

double Ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  QApplication app(argc, argv);

  QTemporaryDir folder;
  const QString input = QDir(folder.path()).filePath("MOV32767.DAT");
  const std::string day = bench::MovementDay();
  if (!folder.isValid() || !std::ofstream(input.toStdString(), std::ios::binary)
                                .write(day.data(), static_cast<std::streamsize>(day.size()))) {
    std::fprintf(stderr, "bench_window_conversion: cannot write the movement file\n");
    return 1;
  }
  QDir::setCurrent(folder.path());

  const auto window = std::make_unique<frmConv>();
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) {
    std::fprintf(stderr, "bench_window_conversion: the window was never shown\n");
    return 1;
  }
  auto* txtConverte = window->findChild<QLineEdit*>(QStringLiteral("txtConverte"));
  auto* cmdOK = window->findChild<QPushButton*>(QStringLiteral("cmdOK"));
  const QAbstractItemModel* log =
      window->findChild<QListView*>(QStringLiteral("lstResultado"))->model();
  txtConverte->setText(input);

  const int lines = bench::kDayRecords + 18;
  std::vector<double> toLines;
  std::vector<double> toPainted;
  for (int run = 0; run <= runs; ++run) {
    QElapsedTimer timer;
    timer.start();
    cmdOK->click();  // returns once the run has ended and the log is shown
    const double linesMs = Ms(timer);
    if (log->rowCount() != lines) {
      std::fprintf(stderr, "bench_window_conversion: the log list holds %d lines, not %d\n",
                   log->rowCount(), lines);
      return 1;
    }
    QApplication::processEvents();  // lays out and paints what is in sight
    const double paintedMs = Ms(timer);
    if (run == 0) continue;  // the first run warms the caches
    toLines.push_back(linesMs);
    toPainted.push_back(paintedMs);
  }

  std::vector<double> alone;
  ravuvur::ModuleState state;
  for (int run = 0; run <= runs; ++run) {
    QElapsedTimer timer;
    timer.start();
    ravuvur::RunConversion(state, input.toStdString());
    if (run > 0) alone.push_back(Ms(timer));
  }

  std::printf("%d-record file (%.2f MB), %d log lines, %d runs, platform %s:\n", bench::kDayRecords,
              static_cast<double>(day.size()) / 1e6, lines, runs,
              qPrintable(QGuiApplication::platformName()));
  bench::PrintSpread("  Ok clicked -> log list holds every line", toLines);
  bench::PrintSpread("  Ok clicked -> window painted", toPainted);
  bench::PrintSpread("  RunConversion alone", alone);
  return 0;
}
