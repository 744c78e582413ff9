// zizadod5-screenshot OUTPUT.png: draws the window as it stands right after
// start, in the working directory, into a PNG: loaded and active, under a
// caption bar with its icon and title as a desktop would show them. Run it
// on the offscreen platform for a picture that does not depend on a
// desktop.

#include <QApplication>
#include <QDeadlineTimer>
#include <QPainter>
#include <QPixmap>
#include <QTextStream>

#include "window/qt/frm_conv.h"

namespace {

constexpr int kCaptionHeight = 22;  // pixels

// The window's client area under a caption bar drawn in the highlight
// colours: the offscreen platform has no window frame of its own.
QPixmap WithCaption(frmConv& window) {
  // At a scale above 1 (QT_SCALE_FACTOR=1.5 for 144 dots per inch) the
  // grab holds more pixels than the window has points; the caption is
  // drawn at the same scale.
  const QPixmap client = window.grab();
  const qreal scale = client.devicePixelRatio();
  QPixmap picture(client.width(), client.height() + qRound(kCaptionHeight * scale));
  picture.setDevicePixelRatio(scale);
  const int width = window.width();
  const QPalette& palette = window.palette();
  QPainter painter(&picture);
  painter.fillRect(0, 0, width, kCaptionHeight, palette.color(QPalette::Highlight));
  window.windowIcon().paint(&painter, QRect(3, 3, 16, 16));
  painter.setPen(palette.color(QPalette::HighlightedText));
  painter.setFont(window.font());
  painter.drawText(QRect(24, 0, width - 24, kCaptionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   window.windowTitle());
  painter.drawPixmap(0, kCaptionHeight, client);
  return picture;
}

}  // namespace

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
  // The title with the version comes with the activation.
  const QDeadlineTimer deadline(5000);
  while (!window.isActiveWindow() && !deadline.hasExpired()) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  QApplication::processEvents();
  if (!WithCaption(window).save(args[1], "PNG")) {
    QTextStream(stderr) << "zizadod5-screenshot: cannot write " << args[1] << "\n";
    return 1;
  }
  return 0;
}
