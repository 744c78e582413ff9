// zizadod5: the converter's window. Takes no arguments; browses from the
// working directory.

#include <QApplication>

#include "window/qt/frm_conv.h"

int main(int argc, char** argv) {
  // Also sets the C locale from the environment, which the log's time of
  // day follows.
  QApplication app(argc, argv);
  // Deletes itself when closed, and the program ends with it.
  auto* window = new frmConv;
  window->show();
  return QApplication::exec();
}
