#pragma once

#include <QLineEdit>

// txtConverte: the path of the file to convert, as the screen model shows
// it: the highlighted file's path, or what the user typed. A path longer
// than the box shows its end, where the file name is, and the whole text
// as the tooltip.
class PathBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit PathBox(QWidget* parent = nullptr);

  // Shows `text` unless it is shown already, with its end in sight.
  void showText(const QString& text);

 private:
  void showWholeTextAsTip();
};
