#include "window/drive_list.h"

#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>
#include <iterator>
#include <system_error>

namespace {

constexpr int kRootRole = Qt::UserRole;  // the drive's root folder, an FsPath

// How many names `path` has, the root counting as one.
std::ptrdiff_t Depth(const FsPath& path) { return std::distance(path.begin(), path.end()); }

bool Holds(const FsPath& root, const FsPath& path) {
  return std::mismatch(root.begin(), root.end(), path.begin(), path.end()).first == root.end();
}

// The deepest of `roots` that holds `path`, with links followed: a folder
// reached through a link lies on the drive the link leads to.
FsPath DriveOf(const FsPath& path, const std::vector<FsPath>& roots) {
  std::error_code error;
  FsPath real = std::filesystem::canonical(path, error);
  if (error) real = path;
  FsPath deepest;
  for (const FsPath& root : roots) {
    if (Holds(root, real) && (deepest.empty() || Depth(root) > Depth(deepest))) deepest = root;
  }
  return deepest;
}

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
  showDriveOf(FsPath("."));
  connect(this, &QComboBox::currentIndexChanged, this, &DriveList::choose);
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

  const QSignalBlocker quiet(this);
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
  if (root == chosenRoot_) return;
  if (root.empty() || !CanList(root)) {
    fill(roots_());
    return;
  }
  chosenRoot_ = root;
  emit driveChanged();
}
