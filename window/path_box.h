#pragma once

#include <QLineEdit>

#include "window/folder.h"

// txtConverte: the path of the file to convert, chosen in the file list or
// typed. A chosen file's path is shown readably and kept as the file system
// names it: as long as the text is what setPath() put there, path() is that
// real path, whatever bytes the name holds. Text the user types or edits
// is taken as typed.
//
// A path longer than the box shows its end, where the file name is, and
// the whole text as the tooltip.
class PathBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit PathBox(QWidget* parent = nullptr);

  void setPath(const FsPath& path);
  FsPath path() const;

 private:
  void showWholeTextAsTip();

  FsPath chosen_;
  QString chosenText_;  // Shown(chosen_)
};
