#pragma once

#include <QComboBox>

// cboTipo: an editable drop-down of file patterns that tells apart a pattern
// the user types (or the program sets) from an entry chosen in its list. A
// typed pattern takes effect keystroke by keystroke; a chosen entry only
// when the box loses the focus, so browsing the list with the arrow keys
// does not relist the files at every step.
class PatternBox : public QComboBox {
  Q_OBJECT

 public:
  explicit PatternBox(QWidget* parent = nullptr);

  // Puts `text` into the edit field and reports it as changed.
  void setText(const QString& text);

 signals:
  // The text was typed or edited (each keystroke, paste, undo) or set with
  // setText(). Not emitted when an entry is chosen from the list, with the
  // mouse, the arrow keys or the wheel.
  void changed(const QString& text);

  // The focus went to another control of the window. The focus moving
  // into the box's own list (or any other popup), or another window taking
  // over, is not a loss: the box has the focus again when the popup closes
  // or the window is active again.
  void lostFocus();

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  // The open list highlights the entry that matches the text shown.
  void showPopup() override;
};
