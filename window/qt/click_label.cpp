#include "window/qt/click_label.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

namespace {

// Read as a label, by its text, with one action: press.
class PressableLabel : public QAccessibleWidget {
 public:
  explicit PressableLabel(ClickLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  QString text(QAccessible::Text kind) const override {
    const QString own = QAccessibleWidget::text(kind);
    return kind == QAccessible::Name && own.isEmpty() ? label()->text() : own;
  }

  QStringList actionNames() const override { return {pressAction()}; }

  // The click is reported once the screen reader has its answer: what it
  // opens (the about box) is modal and would hold the answer back.
  void doAction(const QString& action) override {
    if (action == pressAction())
      QMetaObject::invokeMethod(label(), &ClickLabel::clicked, Qt::QueuedConnection);
  }

 private:
  ClickLabel* label() const { return static_cast<ClickLabel*>(widget()); }
};

QAccessibleInterface* DescribeAsPressable(const QString& kind, QObject* object) {
  auto* label = qobject_cast<ClickLabel*>(object);
  if (kind != QLatin1String("ClickLabel") || label == nullptr) return nullptr;
  return new PressableLabel(label);
}

}  // namespace

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  static const bool described = (QAccessible::installFactory(DescribeAsPressable), true);
  Q_UNUSED(described);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) emit clicked();
}
