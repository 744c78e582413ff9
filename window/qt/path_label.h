#pragma once

#include <QLabel>

// Label4: the path of the folder shown, on one line. A path longer than the
// label loses its start rather than its end, where the folder that matters
// is: "…" stands for what is cut, and the whole path is the tooltip.
class PathLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

  void setPath(const QString& path);
};
