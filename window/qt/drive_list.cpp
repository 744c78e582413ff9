#include "window/qt/drive_list.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWheelEvent>

namespace {

// Some styles open a drop-down over its box, with the chosen entry on the
// box itself; this one asks for the list below the box.
class ListBelowStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }
};

// One for every drive list, built on the application's style and deleted
// with the application.
QStyle* ListBelow() {
  static QStyle* const style = [] {
    auto* made = new ListBelowStyle(QStyleFactory::create(QApplication::style()->name()));
    made->setParent(qApp);
    return made;
  }();
  return style;
}

}  // namespace

DriveList::DriveList(screen::ScreenModel* shared, const DriveRoots& roots, QWidget* parent)
    : QComboBox(parent), ScreenView(shared, roots) {
  setStyle(ListBelow());
  setFocusPolicy(Qt::StrongFocus);  // not the wheel's
  showModel();
  // Chosen by the user: in the open list, with the keys, with the wheel.
  connect(this, &QComboBox::activated, this, &DriveList::choose);
}

void DriveList::showDriveOf(const FsPath& path) {
  model_.OpenFolder(path);
  showModel();
}

void DriveList::showPopup() {
  model_.RefreshDrives();
  showModel();
  QComboBox::showPopup();
}

void DriveList::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  QComboBox::wheelEvent(event);
}

void DriveList::showModel() {
  const QSignalBlocker quiet(this);
  clear();
  for (const screen::FolderEntry& drive : model_.drives()) addItem(Utf8(drive.shown));
  setCurrentIndex(static_cast<int>(model_.chosenDrive()));
}

// A drive that cannot be read is not taken: the list goes back to the
// drive chosen before.
void DriveList::choose(int index) {
  const bool chosen = index >= 0 && model_.ChooseDrive(static_cast<std::size_t>(index));
  showModel();
  if (chosen) emit driveChanged();
}
