#include "window/qt/file_list.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>

#include <algorithm>

FileNames::FileNames(const screen::ScreenModel& model, QObject* parent)
    : QAbstractListModel(parent), model_(model), version_(model.filesVersion()) {}

int FileNames::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(model_.fileCount());
}

QVariant FileNames::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return Utf8(model_.file(static_cast<std::size_t>(index.row())).shown);
}

void FileNames::update() {
  if (version_ == model_.filesVersion()) return;
  beginResetModel();
  version_ = model_.filesVersion();
  endResetModel();
}

FileList::FileList(screen::ScreenModel* shared, QWidget* parent)
    : QListView(parent), ScreenView(shared), names_(model_) {
  setModel(&names_);
  setUniformItemSizes(true);  // rows laid out without asking for their text
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { highlightChanged(selectionModel()->selectedIndexes().value(0)); });
  connect(this, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid() && model_.highlightedFile() == static_cast<std::size_t>(index.row())) {
      emit fileDoubleClicked(fileName());
    }
  });
  showHighlight();
}

bool FileList::setPath(const FsPath& path) {
  if (!model_.OpenFolder(path)) return false;
  showModel();
  return true;
}

void FileList::setPattern(const QString& pattern) {
  model_.SetPattern(pattern.toStdString());
  showModel();
}

QString FileList::fileName() const {
  const std::optional<std::size_t> row = model_.highlightedFile();
  return row ? Utf8(model_.file(*row).shown) : QString();
}

void FileList::refresh() {
  model_.RefreshFiles();
  showModel();
}

void FileList::showModel() {
  names_.update();
  showHighlight();
}

// The model's highlight, shown without reporting it back.
void FileList::showHighlight() {
  showing_ = true;
  const std::optional<std::size_t> row = model_.highlightedFile();
  if (row) {
    const QModelIndex index = names_.index(static_cast<int>(*row));
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
  } else {
    selectionModel()->clear();
  }
  showing_ = false;
}

// Whatever moved the selection (a click, a drag, Space, typing), the model
// highlights that file and the path box follows.
void FileList::highlightChanged(const QModelIndex& current) {
  if (showing_) return;
  const std::optional<std::size_t> row =
      current.isValid() ? std::optional<std::size_t>(current.row()) : std::nullopt;
  if (row == model_.highlightedFile()) return;
  // Ctrl with a click or Space would take the highlight off the file the
  // path box names; one file is always chosen here, so it stays.
  if (!row) {
    showHighlight();
    return;
  }
  model_.HighlightFile(row);
  showing_ = true;
  selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
  showing_ = false;
  emit fileClicked(fileName());
}

bool FileList::viewportEvent(QEvent* event) {
  const bool handled = QListView::viewportEvent(event);
  if (event->type() == QEvent::Paint) drawnRows_ = names_.version();
  return handled;
}

// The arrow keys, Home, End and the page keys move the highlight as the
// model says: from nothing highlighted, Down and Home take the first file.
void FileList::keyPressEvent(QKeyEvent* event) {
  static constexpr std::pair<int, screen::ListKey> kKeys[] = {
      {Qt::Key_Up, screen::ListKey::kUp},         {Qt::Key_Down, screen::ListKey::kDown},
      {Qt::Key_PageUp, screen::ListKey::kPageUp}, {Qt::Key_PageDown, screen::ListKey::kPageDown},
      {Qt::Key_Home, screen::ListKey::kHome},     {Qt::Key_End, screen::ListKey::kEnd},
  };
  const auto* found = std::find_if(std::begin(kKeys), std::end(kKeys),
                                   [event](const auto& key) { return key.first == event->key(); });
  // Space chooses the name under the cursor; with the cursor on none
  // (nothing chosen yet), the first, as Down and Home do.
  const bool spaceOnNoName = event->key() == Qt::Key_Space &&
                             event->modifiers() == Qt::NoModifier && !currentIndex().isValid();
  if (!spaceOnNoName && (found == std::end(kKeys) || event->modifiers() != Qt::NoModifier)) {
    QListView::keyPressEvent(event);
    return;
  }
  const int rowHeight = std::max(1, sizeHintForRow(0));
  const auto pageRows = static_cast<std::size_t>(std::max(1, viewport()->height() / rowHeight));
  const std::optional<std::size_t> before = model_.highlightedFile();
  model_.PressKey(spaceOnNoName ? screen::ListKey::kHome : found->second, pageRows);
  showHighlight();
  if (model_.highlightedFile() != before) emit fileClicked(fileName());
  event->accept();
}

// Taking the focus with no file highlighted, Qt would put its cursor on
// the first name, and a screen reader would read that name as though it
// were chosen while the path box names none. The cursor stays off the
// names until a key or a click chooses one.
void FileList::focusInEvent(QFocusEvent* event) {
  QListView::focusInEvent(event);
  if (!model_.highlightedFile() && currentIndex().isValid()) {
    showing_ = true;
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    showing_ = false;
  }
}

// Only the left button chooses; the right and middle buttons leave the
// highlight where it is.
void FileList::mousePressEvent(QMouseEvent* event) {
  model_.PointerOverFiles(true);
  if (event->button() != Qt::LeftButton || ignoresPress(*event)) {
    event->accept();
    return;
  }
  QListView::mousePressEvent(event);
}

// Dragging with the button down would select the names it passes; that
// too is a choice of the file under the pointer, unless the press was
// ignored or was not the left button's.
void FileList::mouseMoveEvent(QMouseEvent* event) {
  model_.PointerOverFiles(true);
  if (event->buttons() != Qt::NoButton &&
      (ignoringPress_ || !(event->buttons() & Qt::LeftButton))) {
    event->accept();
    return;
  }
  QListView::mouseMoveEvent(event);
}

void FileList::mouseReleaseEvent(QMouseEvent* event) {
  if (ignoringPress_ || event->button() != Qt::LeftButton) {
    if (event->button() == Qt::LeftButton) ignoringPress_ = false;
    event->accept();
    return;
  }
  QListView::mouseReleaseEvent(event);
}

// The second press of a double click comes as the double click alone, or
// (on some systems) as a press followed by the double click.
void FileList::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || ignoringPress_ || ignoresPress(*event)) {
    event->accept();
    return;
  }
  QListView::mouseDoubleClickEvent(event);
}

void FileList::enterEvent(QEnterEvent* event) {
  model_.PointerOverFiles(true);
  QListView::enterEvent(event);
}

// A refresh held while the pointer rested on the list happens now.
void FileList::leaveEvent(QEvent* event) {
  model_.PointerOverFiles(false);
  showModel();
  QListView::leaveEvent(event);
}

void FileList::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

// A press on names the user has not seen is ignored, and so is the second
// press of a double click whose first press was: the list is drawn between
// the two, but the user aimed both at what was there before. What counts
// as that second press is what the system takes for a double click: the
// same place, soon enough.
bool FileList::ignoresPress(const QMouseEvent& event) {
  const bool unseen = drawnRows_ != names_.version();
  const QStyleHints* hints = QGuiApplication::styleHints();
  const auto near = [&event, hints](QPointF at) {
    const QPointF moved = event.position() - at;
    return qMax(qAbs(moved.x()), qAbs(moved.y())) <= hints->mouseDoubleClickDistance();
  };
  const bool second = ignoredPress_ && near(ignoredPress_->at) &&
                      event.timestamp() - ignoredPress_->time <
                          static_cast<quint64>(hints->mouseDoubleClickInterval());
  ignoredPress_.reset();
  if (unseen) ignoredPress_ = Press{event.timestamp(), event.position()};
  ignoringPress_ = unseen || second;
  return ignoringPress_;
}
