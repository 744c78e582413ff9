#include "window/drive_list.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

#include "window/folder.h"

namespace {

QString RootOf(const QString& path) { return QStorageInfo(QDir(path).absolutePath()).rootPath(); }

}  // namespace

DriveList::DriveList(QWidget* parent)
    : QComboBox(parent), chosenRoot_(RootOf(QDir::currentPath())) {
  fill();
  connect(this, &QComboBox::currentIndexChanged, this, &DriveList::choose);
}

QString DriveList::drive() const { return QDir::toNativeSeparators(chosenRoot_); }

bool DriveList::setDrive(const QString& path) {
  const QString root = RootOf(path);
  if (root.isEmpty() || !CanList(root)) return false;
  if (findData(root) < 0) fill();  // mounted since the list was filled
  const int index = findData(root);
  if (index < 0) return false;
  setCurrentIndex(index);
  return true;
}

void DriveList::showDriveOf(const QString& path) {
  const QString root = RootOf(path);
  if (root.isEmpty()) return;
  chosenRoot_ = root;
  fill();
}

void DriveList::showPopup() {
  fill();
  QComboBox::showPopup();
}

// Lists every mounted, readable directory tree once, by root path, with the
// chosen drive chosen (and listed, even if it has gone away meanwhile).
void DriveList::fill() {
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady() && CanList(volume.rootPath())) {
      roots.append(volume.rootPath());
    }
  }
  if (!chosenRoot_.isEmpty()) roots.append(chosenRoot_);
  roots.sort(Qt::CaseInsensitive);
  roots.removeDuplicates();

  const QSignalBlocker quiet(this);
  clear();
  for (const QString& root : roots) addItem(QDir::toNativeSeparators(root), root);
  setCurrentIndex(findData(chosenRoot_));
}

// A drive that cannot be read is not taken: the list goes back to the
// drive chosen before.
void DriveList::choose(int index) {
  const QString root = index < 0 ? QString() : itemData(index).toString();
  if (root == chosenRoot_) return;
  if (root.isEmpty() || !CanList(root)) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(findData(chosenRoot_));
    return;
  }
  chosenRoot_ = root;
  emit driveChanged(drive());
}
