#pragma once

#include <QList>
#include <QListWidget>
#include <QRegularExpression>

#include <optional>
#include <vector>

#include "window/folder.h"

// fileDTA: the names (without directory) of the files in one directory that
// match a wildcard pattern, sorted, letter case ignored. Only files are
// listed; subdirectories and hidden files are not. One name can be
// selected at a time. At creation the pattern is "*.*" and the directory is
// the working directory.
//
// Every file is listed, whatever bytes its name holds: the list shows the
// name readably and keeps the name the file system gives it, which
// filePath() hands on.
//
// Patterns use the file system's wildcards, whatever the letter case: `*`
// for any run of characters, `?` for any one, everything else literal
// (brackets too). "*.*" takes every file, with an extension or without;
// several patterns can be given separated by ';'. An empty pattern takes
// every file.
//
// The user aims at the list on the screen. A mouse press on a list that
// has been filled again since it was last drawn (the press itself can do
// that, by taking the focus from the pattern box) would land on a name the
// user never saw there: it selects and reports nothing, and neither does
// the rest of that click or double click.
class FileList : public QListWidget {
  Q_OBJECT

 public:
  explicit FileList(QWidget* parent = nullptr);

  // The directory listed, absolute.
  FsPath path() const { return path_; }

  // Lists `path` (absolute, or relative to the directory listed). Returns
  // false, and changes nothing, when it is not a directory that can be
  // listed.
  bool setPath(const FsPath& path);

  QString pattern() const { return pattern_; }
  // Lists the directory again with `pattern`; nothing is selected after,
  // unless the names listed stay the same.
  void setPattern(const QString& pattern);

  // The selected name as shown; empty when nothing is selected.
  QString fileName() const;

  // The directory, a separator and the selected name as the file system
  // has it (see InFolder); empty when nothing is selected.
  FsPath filePath() const;

  // Reads the directory again, to show files that came or went. The
  // selected name stays selected if it is still there, and a list that
  // has not changed is left alone. Reports no click.
  void refresh();

 signals:
  // A name was selected with the mouse or the keyboard (not when the list
  // is filled); the name as shown.
  void fileClicked(const QString& name);
  void fileDoubleClicked(const QString& name);

 protected:
  bool viewportEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  struct Press {
    quint64 time;  // ms, the event's time stamp
    QPointF at;
  };

  std::vector<FolderEntry> matchingEntries(const FsPath& directory) const;
  FsPath chosenName() const;
  bool list(const FsPath& directory);
  void fill(const std::vector<FolderEntry>& entries);
  void selectName(const FsPath& name);
  void reportClick(const QListWidgetItem* entry);
  bool ignoresPress(const QMouseEvent& event);

  FsPath path_;
  QString pattern_;
  QList<QRegularExpression> matchers_;
  int listing_ = 0;                    // counts the times the names were put in the list
  int drawnListing_ = -1;              // listing_ when the list was last drawn
  int pressedListing_ = 0;             // listing_ when a mouse button last went down
  bool ignoringPress_ = false;         // from an ignored press to its release
  std::optional<Press> ignoredPress_;  // a press ignored as unseen, for its double click
};
