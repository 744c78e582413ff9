#pragma once

#include <QAbstractListModel>
#include <QListView>

#include <optional>

#include "core/progress_log.h"

// The progress log's lines as a list model. A line becomes a QString only
// when the view asks for it, so the 32785 lines of a 32767-record run cost
// nothing until they are scrolled into sight.
//
// The model shows the lines the log held at the last refresh(). A run
// rewrites the log without telling anyone; call refresh() when it returns.
class LogModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit LogModel(const ravuvur::ProgressLog& log, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  void refresh();

 private:
  const ravuvur::ProgressLog& log_;
  int rows_ = 0;
};

// lstResultado: the log's lines in the order they were logged, one
// selectable at a time, each on one row whatever it holds (see
// ReadableText). It never follows new lines and never scrolls sideways: a
// line wider than the list is cut at its right edge.
class LogList : public QListView {
  Q_OBJECT

 public:
  explicit LogList(const ravuvur::ProgressLog& log, QWidget* parent = nullptr);

  // Shows the log as it stands now from its first line, nothing selected.
  void showFromTop();
  // Shows the log as it stands now, nothing selected: from its first line,
  // or scrolled just far enough to bring `line` into sight, where the
  // cursor lands when the list next takes the focus, so that a screen
  // reader reads it first on Tab into the list, as the eye sees it first.
  // Until then the cursor stays off the lines: screen readers would take
  // a cursor put there for a focus that never moved.
  void showRun(std::optional<std::size_t> line);

 protected:
  void focusInEvent(QFocusEvent* event) override;

 private:
  LogModel model_;
  std::optional<std::size_t> landing_;  // the line the cursor lands on
};
