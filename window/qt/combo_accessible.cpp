#include "window/qt/combo_accessible.h"

#include <QAccessibleWidget>
#include <QComboBox>

namespace {

// The entry shown is the box's value, and also its text, read-only: a
// screen reader reads a drop-down's value through its text, as it reads
// the edit field of the pattern box, so the drive list, which has none,
// tells its drive too.
class NamedDropDown : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit NamedDropDown(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return box()->currentText();
    return QAccessibleWidget::text(kind);
  }

  QString text(int start, int end) const override {
    return box()->currentText().mid(start, end - start);
  }
  int characterCount() const override { return int(box()->currentText().size()); }
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int /*position*/) override {}
  void selection(int /*selection*/, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int /*start*/, int /*end*/) override {}
  void removeSelection(int /*selection*/) override {}
  void setSelection(int /*selection*/, int /*start*/, int /*end*/) override {}
  QRect characterRect(int /*offset*/) const override { return {}; }
  int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
  void scrollToSubstring(int /*start*/, int /*end*/) override {}
  QString attributes(int /*offset*/, int* start, int* end) const override {
    *start = *end = 0;
    return {};
  }

  QStringList actionNames() const override {
    return QAccessibleWidget::actionNames() << showMenuAction();
  }

  void doAction(const QString& action) override {
    if (action == showMenuAction()) {
      box()->showPopup();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* DropDownNamedByLabel(const QString& kind, QObject* object) {
  if (kind != QLatin1String("PatternBox") && kind != QLatin1String("DriveList")) return nullptr;
  auto* box = qobject_cast<QComboBox*>(object);
  return box != nullptr ? new NamedDropDown(box) : nullptr;
}

}  // namespace

void NameDropDownsByTheirLabels() {
  static const bool installed = (QAccessible::installFactory(DropDownNamedByLabel), true);
  Q_UNUSED(installed);
}
