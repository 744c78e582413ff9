#include "window/file_list.h"

#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

#include "window/folder.h"

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
  setPath(QDir::currentPath());
}

QString FileList::path() const { return QDir::toNativeSeparators(path_); }

bool FileList::setPath(const QString& path) {
  const QString target = AbsoluteFolder(path_, path);
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

void FileList::refresh() {
  const QStringList names = matchingNames(path_);
  if (names == shownNames()) return;
  const QString selected = fileName();
  fill(names);
  selectName(selected);
}

// A directory that went away since it was listed gives no names.
QStringList FileList::matchingNames(const QString& directory) const {
  QStringList matching;
  const QStringList names =
      QDir(directory).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& name : names) {
    const auto matches = [&name](const QRegularExpression& m) { return m.match(name).hasMatch(); };
    if (std::any_of(matchers_.cbegin(), matchers_.cend(), matches)) matching.append(name);
  }
  return matching;
}

QStringList FileList::shownNames() const {
  QStringList names;
  names.reserve(count());
  for (int row = 0; row < count(); ++row) names.append(item(row)->text());
  return names;
}

void FileList::list(const QString& directory) {
  path_ = directory;
  fill(matchingNames(directory));
}

void FileList::fill(const QStringList& names) {
  clear();
  addItems(names);
  ++listing_;
}

// Selects `name` if it is listed, else nothing; reports no click.
void FileList::selectName(const QString& name) {
  const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (name.isEmpty() || found.isEmpty()) {
    clearSelection();
    return;
  }
  setCurrentItem(found.first());
  scrollToItem(found.first());
}

// Arrow keys, Home, End, Page keys and typing a name's first letters all
// move the selection; each move is a click on the name it lands on.
void FileList::keyPressEvent(QKeyEvent* event) {
  const QListWidgetItem* before = currentItem();
  QListWidget::keyPressEvent(event);
  if (currentItem() != before) reportClick(currentItem());
}

void FileList::mousePressEvent(QMouseEvent* event) {
  pressedListing_ = listing_;
  QListWidget::mousePressEvent(event);
}

// A double click can start a run that reads the list again while the
// button is still down. The release then ends a press on a list that is
// gone: it must not choose, let alone click, the name that now lies under
// the mouse, so the name chosen before stays chosen.
void FileList::mouseReleaseEvent(QMouseEvent* event) {
  if (pressedListing_ == listing_) {
    QListWidget::mouseReleaseEvent(event);
    return;
  }
  const QString chosen = fileName();
  QListWidget::mouseReleaseEvent(event);
  selectName(chosen);
}

void FileList::reportClick(const QListWidgetItem* entry) {
  // Ctrl+click can take the selection away from the name clicked.
  if (entry != nullptr && entry->isSelected()) emit fileClicked(entry->text());
}
