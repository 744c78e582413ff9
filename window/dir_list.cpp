#include "window/dir_list.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include "window/folder.h"

namespace {

constexpr int kPathRole = Qt::UserRole;       // the entry's absolute path
constexpr int kDepthRole = Qt::UserRole + 1;  // 0 for the root
constexpr int kIndentPerDepth = 8;            // pixels

// Indents each entry by its depth below the root, so the path reads as a
// tree and the subdirectories stand one step under the current directory.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem indented(option);
    indented.rect.setLeft(option.rect.left() + Indent(index));
    QStyledItemDelegate::paint(painter, indented, index);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
  }

 private:
  static int Indent(const QModelIndex& index) {
    return index.data(kDepthRole).toInt() * kIndentPerDepth;
  }
};

}  // namespace

DirList::DirList(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new IndentDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(this, &QListWidget::itemDoubleClicked, this, &DirList::open);
  setPath(QDir::currentPath());
}

QString DirList::path() const { return QDir::toNativeSeparators(path_); }

bool DirList::setPath(const QString& path) {
  const QString target = AbsoluteFolder(path_, path);
  if (!CanList(target)) return false;

  QStringList levels;  // root first
  for (QDir level(target);;) {
    levels.prepend(level.absolutePath());
    if (level.isRoot() || !level.cdUp()) break;
  }
  const QStringList subdirectories =
      QDir(target).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);

  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  const auto add = [this](const QIcon& icon, const QString& name, const QString& entryPath,
                          qsizetype depth) {
    auto* entry = new QListWidgetItem(icon, name, this);
    entry->setData(kPathRole, entryPath);
    entry->setData(kDepthRole, static_cast<int>(depth));
  };

  clear();
  for (qsizetype depth = 0; depth < levels.size(); ++depth) {
    const QString& level = levels[depth];
    add(openIcon, depth == 0 ? QDir::toNativeSeparators(level) : QFileInfo(level).fileName(), level,
        depth);
  }
  for (const QString& name : subdirectories) {
    add(closedIcon, name, QDir(target).filePath(name), levels.size());
  }
  setCurrentRow(static_cast<int>(levels.size() - 1));

  const bool changed = target != path_;
  path_ = target;
  if (changed) emit pathChanged(this->path());
  return true;
}

void DirList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    open(currentItem());
    return;
  }
  QListWidget::keyPressEvent(event);
}

void DirList::open(const QListWidgetItem* entry) {
  // Copied first: setPath() deletes the entries, this one included.
  if (entry != nullptr) setPath(QString(entry->data(kPathRole).toString()));
}
