#pragma once

#include <QComboBox>

#include <functional>
#include <vector>

#include "window/folder.h"

// The root folders of the drives a DriveList offers, read afresh each time
// the list is filled.
using DriveRoots = std::function<std::vector<FsPath>()>;

// The machine's drives: where there are no drive letters, the roots of the
// mounted file systems.
std::vector<FsPath> MountedRoots();

// driveDTA: a drop-down of the machine's drives, one of them chosen. At
// creation the chosen drive is the one holding the working folder.
class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(DriveRoots roots = MountedRoots, QWidget* parent = nullptr);

  // The chosen drive's root folder, e.g. "/", "/media/stick" or "C:\".
  FsPath drive() const { return chosenRoot_; }

  // Shows the drive that holds `path` as the chosen one, without reporting
  // a change: for putting the list back when the drive just chosen could
  // not be opened after all.
  void showDriveOf(const FsPath& path);

 signals:
  // Another drive was chosen.
  void driveChanged();

 protected:
  // A medium may have come or gone since the list was last filled.
  void showPopup() override;

 private:
  void fill(const std::vector<FsPath>& roots);
  void choose(int index);

  DriveRoots roots_;
  FsPath chosenRoot_;
};
