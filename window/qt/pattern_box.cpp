#include "window/qt/pattern_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

PatternBox::PatternBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  // The box holds what was typed, exactly: Enter adds no entry and typing
  // is not completed from the entries.
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  // The edit field reports only what the user does to it; choosing an
  // entry puts the entry's text there through setText(), which it does not
  // report as an edit.
  connect(lineEdit(), &QLineEdit::textEdited, this, &PatternBox::changed);
}

void PatternBox::setText(const QString& text) {
  setEditText(text);
  emit changed(text);
}

void PatternBox::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  const bool intoAPopup =
      event->reason() == Qt::PopupFocusReason || QApplication::activePopupWidget() != nullptr;
  if (!intoAPopup && event->reason() != Qt::ActiveWindowFocusReason) emit lostFocus();
}

void PatternBox::showPopup() {
  QComboBox::showPopup();
  const int entry = findText(currentText(), Qt::MatchFixedString);
  if (entry >= 0) view()->setCurrentIndex(model()->index(entry, modelColumn()));
}
