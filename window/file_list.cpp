#include "window/file_list.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>

#include <algorithm>
#include <utility>

namespace {

// One wildcard pattern as a whole-name match, ignoring letter case. A run
// of stars is one star; a final ".*" may also match nothing, so that "*.*"
// and "MOV*.*" take names without an extension as well.
QRegularExpression Matcher(QStringView pattern) {
  const bool anyExtension = pattern.endsWith(u".*");
  if (anyExtension) pattern.chop(2);
  QString expression;
  for (qsizetype at = 0; at < pattern.size(); ++at) {
    const QChar c = pattern[at];
    if (c == u'*') {
      if (!expression.endsWith(QLatin1String(".*"))) expression += QLatin1String(".*");
    } else if (c == u'?') {
      expression += u'.';
    } else {
      expression += QRegularExpression::escape(QString(c));
    }
  }
  if (anyExtension) expression += QLatin1String("(?:\\..*)?");
  return QRegularExpression(
      QRegularExpression::anchoredPattern(expression),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

QList<QRegularExpression> Matchers(const QString& patterns) {
  QList<QRegularExpression> matchers;
  for (const QString& one : patterns.split(u';', Qt::SkipEmptyParts)) {
    const QString trimmed = one.trimmed();
    if (!trimmed.isEmpty()) matchers.append(Matcher(trimmed));
  }
  if (matchers.isEmpty()) matchers.append(Matcher(u"*"));
  return matchers;
}

constexpr int kNameRole = Qt::UserRole;  // the name as the file system has it

FsPath NameOf(const QListWidgetItem* entry) { return entry->data(kNameRole).value<FsPath>(); }

}  // namespace

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(this, &QListWidget::itemClicked, this, &FileList::reportClick);
  connect(this, &QListWidget::itemDoubleClicked, this, [this](const QListWidgetItem* entry) {
    if (entry != nullptr) emit fileDoubleClicked(entry->text());
  });
  pattern_ = QStringLiteral("*.*");
  matchers_ = Matchers(pattern_);
  setPath(FsPath("."));
}

bool FileList::setPath(const FsPath& path) {
  const FsPath target = AbsoluteFolder(path_, path);
  if (!CanList(target)) return false;
  list(target);
  return true;
}

void FileList::setPattern(const QString& pattern) {
  pattern_ = pattern;
  matchers_ = Matchers(pattern);
  list(path_);
}

QString FileList::fileName() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? QString() : selected.first()->text();
}

FsPath FileList::filePath() const {
  const FsPath name = chosenName();
  return name.empty() ? FsPath() : InFolder(path_, name);
}

void FileList::refresh() {
  const FsPath chosen = chosenName();
  if (list(path_)) selectName(chosen);
}

// A directory that went away since it was listed gives no names.
std::vector<FolderEntry> FileList::matchingEntries(const FsPath& directory) const {
  std::vector<FolderEntry> entries = ListFolder(directory, EntryKind::kFiles);
  std::erase_if(entries, [this](const FolderEntry& entry) {
    const auto matches = [&entry](const QRegularExpression& m) {
      return m.match(entry.shown).hasMatch();
    };
    return std::none_of(matchers_.cbegin(), matchers_.cend(), matches);
  });
  return entries;
}

FsPath FileList::chosenName() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? FsPath() : NameOf(selected.first());
}

// A list that would show the same names is left as it is, selection and
// all: the user sees nothing change, and the next click acts at once.
bool FileList::list(const FsPath& directory) {
  const std::vector<FolderEntry> entries = matchingEntries(directory);
  bool same = directory == path_ && std::cmp_equal(entries.size(), count());
  for (int row = 0; same && row < count(); ++row) {
    same = entries[static_cast<std::size_t>(row)].name == NameOf(item(row));
  }
  if (same) return false;
  path_ = directory;
  fill(entries);
  return true;
}

void FileList::fill(const std::vector<FolderEntry>& entries) {
  clear();
  for (const FolderEntry& entry : entries) {
    auto* row = new QListWidgetItem(entry.shown, this);
    row->setData(kNameRole, QVariant::fromValue(entry.name));
  }
  ++listing_;
}

// Selects `name` if it is listed, else nothing; reports no click.
void FileList::selectName(const FsPath& name) {
  for (int row = 0; !name.empty() && row < count(); ++row) {
    if (NameOf(item(row)) == name) {
      setCurrentRow(row);
      scrollToItem(item(row));
      return;
    }
  }
  clearSelection();
}

bool FileList::viewportEvent(QEvent* event) {
  const bool handled = QListWidget::viewportEvent(event);
  if (event->type() == QEvent::Paint) drawnListing_ = listing_;
  return handled;
}

// Arrow keys, Home, End, Page keys and typing a name's first letters all
// move the selection; each move is a click on the name it lands on.
void FileList::keyPressEvent(QKeyEvent* event) {
  const QListWidgetItem* before = currentItem();
  QListWidget::keyPressEvent(event);
  if (currentItem() != before) reportClick(currentItem());
}

void FileList::mousePressEvent(QMouseEvent* event) {
  if (ignoresPress(*event)) {
    event->accept();
    return;
  }
  pressedListing_ = listing_;
  QListWidget::mousePressEvent(event);
}

// Dragging with the button down would select the names it passes.
void FileList::mouseMoveEvent(QMouseEvent* event) {
  if (ignoringPress_ && event->buttons() != Qt::NoButton) {
    event->accept();
    return;
  }
  QListWidget::mouseMoveEvent(event);
}

// A double click can start a run that reads the list again while the
// button is still down. The release then ends a press on a list that is
// gone: it must not choose, let alone click, the name that now lies under
// the mouse, so the name chosen before stays chosen.
void FileList::mouseReleaseEvent(QMouseEvent* event) {
  if (ignoringPress_) {
    ignoringPress_ = false;
    event->accept();
    return;
  }
  if (pressedListing_ == listing_) {
    QListWidget::mouseReleaseEvent(event);
    return;
  }
  const FsPath chosen = chosenName();
  QListWidget::mouseReleaseEvent(event);
  selectName(chosen);
}

// The second press of a double click comes as the double click alone, or
// (on some systems) as a press followed by the double click.
void FileList::mouseDoubleClickEvent(QMouseEvent* event) {
  if (ignoringPress_ || ignoresPress(*event)) {
    event->accept();
    return;
  }
  QListWidget::mouseDoubleClickEvent(event);
}

// A press on names the user has not seen is ignored, and so is the second
// press of a double click whose first press was: the list is drawn between
// the two, but the user aimed both at what was there before. What counts
// as that second press is what the system takes for a double click: the
// same place, soon enough.
bool FileList::ignoresPress(const QMouseEvent& event) {
  const bool unseen = drawnListing_ != listing_;
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

void FileList::reportClick(const QListWidgetItem* entry) {
  // Ctrl+click can take the selection away from the name clicked.
  if (entry != nullptr && entry->isSelected()) emit fileClicked(entry->text());
}
