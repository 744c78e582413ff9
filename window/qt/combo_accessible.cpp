#include "window/qt/combo_accessible.h"

#include <QAccessibleWidget>
#include <QComboBox>

namespace {

class NamedDropDown : public QAccessibleWidget {
 public:
  explicit NamedDropDown(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return box()->currentText();
    return QAccessibleWidget::text(kind);
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
