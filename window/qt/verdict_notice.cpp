#include "window/qt/verdict_notice.h"

#include <QAccessibleWidget>

namespace {

QAccessibleInterface* DescribeAsNotification(const QString& kind, QObject* object) {
  auto* notice = qobject_cast<VerdictNotice*>(object);
  if (kind != QLatin1String("VerdictNotice") || notice == nullptr) return nullptr;
  return new QAccessibleWidget(notice, QAccessible::Notification);
}

}  // namespace

VerdictNotice::VerdictNotice(QWidget* parent) : QWidget(parent) {
  static const bool described = (QAccessible::installFactory(DescribeAsNotification), true);
  Q_UNUSED(described);
  setObjectName(QStringLiteral("verdictNotice"));
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(0, 0, 0, 0);
  hide();
}

void VerdictNotice::announce(const QString& verdict) {
  hide();
  setAccessibleName(verdict);
  show();
}
