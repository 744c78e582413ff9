#include "window/drive_list.h"

#include "screen/drives.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStorageInfo>
#include <QStyleFactory>
#include <QWheelEvent>

#include <algorithm>
#include <system_error>

namespace {

constexpr int kRootRole = Qt::UserRole;  // the drive's root folder, an FsPath

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

using screen::DriveOf;

}  // namespace

std::vector<FsPath> MountedRoots() {
  std::vector<FsPath> roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady()) {
      roots.push_back(AbsoluteFolder(FsPath(), PathOf(volume.rootPath())));
    }
  }
  return roots;
}

DriveList::DriveList(DriveRoots roots, QWidget* parent)
    : QComboBox(parent), roots_(std::move(roots)) {
  setStyle(ListBelow());
  setFocusPolicy(Qt::StrongFocus);  // not the wheel's
  showDriveOf(FsPath("."));
  // Chosen by the user: in the open list, with the keys, with the wheel.
  connect(this, &QComboBox::activated, this, &DriveList::choose);
}

void DriveList::showDriveOf(const FsPath& path) {
  const std::vector<FsPath> roots = roots_();
  const FsPath root = DriveOf(AbsoluteFolder(FsPath(), path), roots);
  if (root.empty()) return;
  chosenRoot_ = root;
  fill(roots);
}

void DriveList::showPopup() {
  fill(roots_());
  QComboBox::showPopup();
}

void DriveList::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  QComboBox::wheelEvent(event);
}

// Lists every drive that can be read once, with the chosen drive chosen
// (and listed, even if it has gone away meanwhile).
void DriveList::fill(const std::vector<FsPath>& roots) {
  std::vector<FolderEntry> drives;
  for (const FsPath& root : roots) {
    if (CanList(root)) drives.push_back({root, Shown(root)});
  }
  if (!chosenRoot_.empty()) drives.push_back({chosenRoot_, Shown(chosenRoot_)});
  std::sort(drives.begin(), drives.end(), ShownBefore);
  drives.erase(
      std::unique(drives.begin(), drives.end(),
                  [](const FolderEntry& a, const FolderEntry& b) { return a.name == b.name; }),
      drives.end());

  clear();
  for (const FolderEntry& drive : drives) {
    addItem(drive.shown, QVariant::fromValue(drive.name));
    if (drive.name == chosenRoot_) setCurrentIndex(count() - 1);
  }
}

// A drive that cannot be read is not taken: the list goes back to the
// drive chosen before.
void DriveList::choose(int index) {
  const FsPath root = itemData(index, kRootRole).value<FsPath>();
  if (root.empty() || !CanList(root)) {
    fill(roots_());
    return;
  }
  chosenRoot_ = root;
  emit driveChanged();
}
