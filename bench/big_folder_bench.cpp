// bench_big_folder [RUNS]: the window in big folders, through its real
// controls on Qt's offscreen platform (or the display, if there is one).
//
// - open: the folder list opens a folder of 50 000 files (half .DAT, half
//   .CSV) with the pattern "*.*", until the window has been painted;
// - keystroke: one key typed into the pattern box ("*.DA" becomes
//   "*.DAT", which takes 10 000 of them) over a folder of 20 000 files,
//   until painted;
// - start: a window built in a folder of 50 000 files, loaded ("*.DAT"
//   applied) and shown, until painted. In-process: the program's own
//   loading and Qt's start are bench_startup's;
// - come back: that window activated again after a file was added to its
//   folder, which reads the folder again, until painted.
//
// Each figure is RUNS runs (default 7); the folders are made once, in
// $TMPDIR, and removed at the end.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

#include "bench/spread.h"
#include "window/qt/dir_list.h"
#include "window/qt/frm_conv.h"

namespace {

bool MakeFiles(const QString& folder, int count) {
  for (int i = 0; i < count; ++i) {
    const QString name = QString("MOV%1.%2").arg(i, 6, 10, QChar('0')).arg(i % 2 ? "CSV" : "DAT");
    std::ofstream file(QDir(folder).filePath(name).toStdString());
    if (!file) return false;
  }
  return true;
}

double Elapsed(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

// Lets the window paint what changed.
void Settle(QWidget& window) {
  QApplication::processEvents();
  window.repaint();
}

std::unique_ptr<frmConv> ShownWindow() {
  auto window = std::make_unique<frmConv>();
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
  Settle(*window);
  return window;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
  QTemporaryDir big;
  QTemporaryDir medium;
  if (runs < 1 || !big.isValid() || !medium.isValid() || !MakeFiles(big.path(), 50000) ||
      !MakeFiles(medium.path(), 20000)) {
    std::fprintf(stderr, "bench_big_folder: could not make the folders\n");
    return 1;
  }

  std::vector<double> open;
  std::vector<double> keystroke;
  std::vector<double> start;
  std::vector<double> back;
  const QString home = QDir::currentPath();
  for (int run = 0; run < runs; ++run) {
    QDir::setCurrent(home);
    std::unique_ptr<frmConv> window = ShownWindow();
    if (!window) return 1;
    auto* pattern = window->findChild<QComboBox*>("cboTipo");
    auto* folders = window->findChild<DirList*>("dirDTA");
    pattern->lineEdit()->selectAll();
    QTest::keyClicks(pattern, "*.*");
    QElapsedTimer timer;
    timer.start();
    folders->setPath(PathOf(big.path()));
    Settle(*window);
    open.push_back(Elapsed(timer));

    folders->setPath(PathOf(medium.path()));
    pattern->lineEdit()->selectAll();
    QTest::keyClicks(pattern, "*.DA");
    Settle(*window);
    timer.restart();
    QTest::keyClick(pattern, Qt::Key_T);
    Settle(*window);
    keystroke.push_back(Elapsed(timer));
    window.reset();

    QDir::setCurrent(big.path());
    timer.restart();
    window = ShownWindow();
    if (!window) return 1;
    start.push_back(Elapsed(timer));

    // Whether or not the platform activated the window, the next
    // activation is a coming back.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    const std::ofstream added(
        QDir(big.path()).filePath(QString("NEW%1.DAT").arg(run)).toStdString());
    timer.restart();
    QApplication::sendEvent(window.get(), &activate);
    Settle(*window);
    back.push_back(Elapsed(timer));
  }
  QDir::setCurrent(home);
  bench::PrintSpread("open a folder of 50 000 files (*.*)", open);
  bench::PrintSpread("one keystroke, 20 000 files", keystroke);
  bench::PrintSpread("start in a folder of 50 000 files", start);
  bench::PrintSpread("come back to a folder of 50 000 files", back);
  return 0;
}
