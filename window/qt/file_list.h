#pragma once

#include <QAbstractListModel>
#include <QListView>

#include <optional>

#include "screen/screen_model.h"
#include "window/qt/folder.h"
#include "window/qt/screen_view.h"

// The file names the screen model lists, as a Qt list model: a name
// becomes a QString only when the view draws it, so a folder of 50 000
// files costs no widget item per name.
class FileNames : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit FileNames(const screen::ScreenModel& model, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Takes the model's rows again when they changed.
  void update();
  // The model's files version whose rows this shows.
  unsigned version() const { return version_; }

 private:
  const screen::ScreenModel& model_;
  unsigned version_;
};

// fileDTA: a view of the files of the screen model's folder that its
// pattern takes. Every way of moving the highlight (a click, a drag, the
// keys, Space, typing a name's first letters) highlights the file in the
// model, whose path box follows, and is reported as a click. A right or
// middle click changes nothing.
//
// The user aims at the list on the screen. Rows never move under a pointer
// resting on the list (the model holds a refresh until it leaves), and a
// press on a list that was filled again since it was last drawn (the press
// itself can do that, by taking the focus from the pattern box) selects
// and reports nothing, and neither does the rest of that click or double
// click.
//
// Made without a model, the list has a model of its own, started in the
// working directory.
class FileList : public QListView, private ScreenView {
  Q_OBJECT

 public:
  explicit FileList(QWidget* parent = nullptr) : FileList(nullptr, parent) {}
  explicit FileList(screen::ScreenModel& model, QWidget* parent = nullptr)
      : FileList(&model, parent) {}

  // The directory listed, absolute.
  FsPath path() const { return model_.folder(); }

  // Lists `path` (absolute, or relative to the directory listed). Returns
  // false, and changes nothing, when it is not a directory that can be
  // listed.
  bool setPath(const FsPath& path);

  QString pattern() const { return Utf8(model_.pattern()); }
  // Applies `pattern`; nothing is highlighted after, unless the names
  // listed stay the same.
  void setPattern(const QString& pattern);

  // The highlighted name as shown; empty when nothing is highlighted.
  QString fileName() const;
  // The highlighted file's path; empty when nothing is highlighted.
  FsPath filePath() const { return model_.highlightedPath(); }

  // Reads the directory again, keeping the highlighted file. Reports no
  // click.
  void refresh();

  // Shows what the model holds now: its rows and its highlight.
  void showModel();

 signals:
  // A name was highlighted with the mouse or the keyboard (not when the
  // list is filled); the name as shown.
  void fileClicked(const QString& name);
  void fileDoubleClicked(const QString& name);

 protected:
  bool viewportEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  struct Press {
    quint64 time;  // ms, the event's time stamp
    QPointF at;
  };

  FileList(screen::ScreenModel* shared, QWidget* parent);
  void highlightChanged(const QModelIndex& current);
  void showHighlight();
  bool ignoresPress(const QMouseEvent& event);

  FileNames names_;
  bool showing_ = false;               // the list, not the user, moves the highlight
  std::optional<unsigned> drawnRows_;  // names_.version() when the list was last drawn
  bool ignoringPress_ = false;         // from an ignored press to its release
  std::optional<Press> ignoredPress_;  // a press ignored as unseen, for its double click
};
