// zizadod5-screenshot OUTPUT.png: draws the window as it stands right after
// start, in the working directory, into a PNG. Run it on the offscreen
// platform for a picture that does not depend on a desktop.

#include <QApplication>
#include <QPixmap>
#include <QTextStream>

#include "window/frm_conv.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() != 2) {
    QTextStream(stderr) << "usage: zizadod5-screenshot OUTPUT.png\n";
    return 2;
  }
  frmConv window;
  window.show();
  window.activateWindow();
  QApplication::processEvents();
  if (!window.grab().save(args[1], "PNG")) {
    QTextStream(stderr) << "zizadod5-screenshot: cannot write " << args[1] << "\n";
    return 1;
  }
  return 0;
}
