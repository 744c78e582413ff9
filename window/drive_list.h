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

// driveDTA: a drop-down of the machine's drives, one of them chosen: the
// drive holding the folder the window shows. At creation that is the
// working folder's drive.
//
// It opens below the box, like the pattern box, rather than over it and
// its label. The mouse wheel changes the drive only while the list has the
// focus, so scrolling over the window never takes the user away from the
// folder they are in.
class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(DriveRoots roots = MountedRoots, QWidget* parent = nullptr);

  // The chosen drive's root folder, e.g. "/", "/media/stick" or "C:\".
  FsPath drive() const { return chosenRoot_; }

  // Shows the drive that holds `path` as the chosen one, without reporting
  // a change: for following the folder shown, and for putting the list
  // back when the drive just chosen could not be opened after all.
  void showDriveOf(const FsPath& path);

 signals:
  // The user chose a drive: another one, or the one already chosen, to go
  // to its root again.
  void driveChanged();

 protected:
  // A medium may have come or gone since the list was last filled.
  void showPopup() override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void fill(const std::vector<FsPath>& roots);
  void choose(int index);

  DriveRoots roots_;
  FsPath chosenRoot_;
};
