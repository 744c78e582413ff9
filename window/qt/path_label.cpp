#include "window/qt/path_label.h"

void PathLabel::setPath(const QString& path) {
  setText(fontMetrics().elidedText(path, Qt::ElideLeft, contentsRect().width()));
  setToolTip(path);
  setAccessibleName(path);
}
