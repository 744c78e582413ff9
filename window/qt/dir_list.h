#pragma once

#include <QListWidget>

#include "screen/screen_model.h"
#include "window/qt/folder.h"
#include "window/qt/screen_view.h"

// dirDTA: a view of the screen model's folder lines: the path from its
// drive's root down, one level per line, each indented under its parent,
// then the folder's subfolders. Double-clicking a line (or Enter on it)
// opens it. Made without a model, the list has a model of its own,
// started in the working directory.
class DirList : public QListWidget, private ScreenView {
  Q_OBJECT

 public:
  explicit DirList(QWidget* parent = nullptr) : DirList(nullptr, parent) {}
  explicit DirList(screen::ScreenModel& model, QWidget* parent = nullptr)
      : DirList(&model, parent) {}

  // The folder shown, absolute.
  FsPath path() const { return model_.folder(); }

  // Opens `path` (absolute, or relative to the folder shown). Returns
  // false, and changes nothing, when it is not a folder that can be
  // listed.
  bool setPath(const FsPath& path);

  // Shows the model's lines, if they changed.
  void showModel();

 signals:
  // The folder shown changed, by the user or through setPath().
  void pathChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  DirList(screen::ScreenModel* shared, QWidget* parent);
  void open(const QListWidgetItem* entry);
  void opened(bool done, const FsPath& before);

  unsigned version_ = 0;
};
