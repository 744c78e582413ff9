#pragma once

#include <QLabel>

// A label that reports a click of the left mouse button on it, the way a
// button would: pressed and released over the label. It stays a label,
// out of the tab cycle, but screen readers are told it can be pressed, and
// pressing it through them reports a click too.
class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};
