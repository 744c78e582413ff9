#pragma once

#include <QComboBox>

#include "screen/screen_model.h"
#include "window/qt/folder.h"
#include "window/qt/screen_view.h"

using DriveRoots = screen::DriveSource;
using screen::MountedRoots;

// driveDTA: a view of the screen model's drives, one of them chosen: the
// drive holding the folder shown. Made with drive roots rather than a
// model, the list has a model of its own, started in the working folder.
//
// It opens below the box, like the pattern box, rather than over it and
// its label. The mouse wheel changes the drive only while the list has the
// focus, so scrolling over the window never takes the user away from the
// folder they are in.
class DriveList : public QComboBox, private ScreenView {
  Q_OBJECT

 public:
  explicit DriveList(const DriveRoots& roots = MountedRoots, QWidget* parent = nullptr)
      : DriveList(nullptr, roots, parent) {}
  explicit DriveList(screen::ScreenModel& model, QWidget* parent = nullptr)
      : DriveList(&model, MountedRoots, parent) {}

  // The chosen drive's root folder, e.g. "/", "/media/stick" or "C:\".
  FsPath drive() const { return model_.driveRoot(); }

  // Opens `path` (a folder) in the model, as every view of that model then
  // shows, and the drive that holds it as the chosen one, without
  // reporting a change.
  void showDriveOf(const FsPath& path);

  // Shows the model's drives and its choice.
  void showModel();

 signals:
  // The user chose a drive: another one, or the one already chosen, to go
  // to its root again.
  void driveChanged();

 protected:
  // A medium may have come or gone since the list was last filled.
  void showPopup() override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  DriveList(screen::ScreenModel* shared, const DriveRoots& roots, QWidget* parent);
  void choose(int index);
};
