#pragma once

#include <QListWidget>

#include "window/folder.h"

// dirDTA: the current directory as a path from its drive's root down, one
// level per line, each indented under its parent, followed by the current
// directory's subdirectories. Double-clicking an entry (or Enter on it)
// makes it the current directory. At creation it shows the working
// directory. Every folder is listed, whatever bytes its name holds: shown
// readably, kept and opened as the file system names it.
class DirList : public QListWidget {
  Q_OBJECT

 public:
  explicit DirList(QWidget* parent = nullptr);

  // The current directory, absolute.
  FsPath path() const { return path_; }

  // Makes `path` (absolute, or relative to the current directory) the
  // current directory. Returns false, and changes nothing, when it is not a
  // directory that can be listed.
  bool setPath(const FsPath& path);

 signals:
  // The current directory changed, by the user or through setPath().
  void pathChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void open(const QListWidgetItem* entry);

  FsPath path_;
};
