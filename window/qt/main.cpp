// zizadod5: the converter's window. Takes no arguments; browses from the
// working directory.

#include <QApplication>
#include <QScreen>

#include "window/qt/frm_conv.h"
#include "window/qt/on_screen.h"

int main(int argc, char** argv) {
  // Also sets the C locale from the environment, which the log's time of
  // day follows.
  QApplication app(argc, argv);
  // Deletes itself when closed, and the program ends with it.
  auto* window = new frmConv;
  ShowOnScreen(window, QApplication::primaryScreen()->availableGeometry().size());
  return QApplication::exec();
}
