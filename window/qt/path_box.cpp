#include "window/qt/path_box.h"

#include <QStyle>
#include <QStyleOptionFrame>

#include <limits>

namespace {

// QLineEdit leaves this much room between its frame and its text.
constexpr int kTextMargin = 2;  // pixels, each side

}  // namespace

PathBox::PathBox(QWidget* parent) : QLineEdit(parent) {
  setMaxLength(std::numeric_limits<int>::max());
  connect(this, &QLineEdit::textChanged, this, &PathBox::showWholeTextAsTip);
}

void PathBox::showText(const QString& text) {
  if (text == this->text()) return;
  setText(text);
  end(false);  // the end in sight
}

void PathBox::showWholeTextAsTip() {
  QStyleOptionFrame frame;
  initStyleOption(&frame);
  const QRect room = style()
                         ->subElementRect(QStyle::SE_LineEditContents, &frame, this)
                         .marginsRemoved(textMargins());
  const bool cut = fontMetrics().horizontalAdvance(text()) > room.width() - 2 * kTextMargin;
  setToolTip(cut ? text() : QString());
}
