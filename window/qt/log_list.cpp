#include "window/qt/log_list.h"

#include <algorithm>
#include <limits>

#include "window/qt/readable_text.h"

LogModel::LogModel(const ravuvur::ProgressLog& log, QObject* parent)
    : QAbstractListModel(parent), log_(log) {}

int LogModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant LogModel::data(const QModelIndex& index, int role) const {
  // The log may have been cleared since the last refresh.
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_ ||
      static_cast<std::size_t>(index.row()) >= log_.size()) {
    return {};
  }
  return ReadableText(log_.Line(static_cast<std::size_t>(index.row())));
}

void LogModel::refresh() {
  beginResetModel();
  constexpr std::size_t kMaxRows = std::numeric_limits<int>::max();
  rows_ = static_cast<int>(std::min(log_.size(), kMaxRows));
  endResetModel();
}

LogList::LogList(const ravuvur::ProgressLog& log, QWidget* parent)
    : QListView(parent), model_(log) {
  setModel(&model_);
  // Every line is one line of one font: the view sizes the first row and
  // lays out the rest without asking for their text.
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void LogList::showFromTop() {
  model_.refresh();
  // Lays the rows out now rather than when the event loop next runs, so the
  // scroll range is right before the list is put at its top.
  executeDelayedItemsLayout();
  scrollToTop();
}

void LogList::showRun(std::optional<std::size_t> line) {
  showFromTop();
  landing_.reset();
  if (line && *line < static_cast<std::size_t>(model_.rowCount())) {
    scrollTo(model_.index(static_cast<int>(*line)), QAbstractItemView::EnsureVisible);
    landing_ = line;
  }
}

void LogList::focusInEvent(QFocusEvent* event) {
  if (landing_ && *landing_ < static_cast<std::size_t>(model_.rowCount())) {
    selectionModel()->setCurrentIndex(model_.index(static_cast<int>(*landing_)),
                                      QItemSelectionModel::NoUpdate);
  }
  landing_.reset();
  QListView::focusInEvent(event);
}
