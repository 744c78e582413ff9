#include "window/dir_list.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

constexpr int kPathRole = Qt::UserRole;       // the entry's absolute path, an FsPath
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
  setPath(FsPath("."));
}

bool DirList::setPath(const FsPath& path) {
  const FsPath target = AbsoluteFolder(path_, path);
  if (!CanList(target)) return false;
  const std::vector<FolderEntry> subdirectories = ListFolder(target, EntryKind::kFolders);

  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  const auto add = [this](const QIcon& icon, const QString& name, const FsPath& entryPath,
                          int depth) {
    auto* entry = new QListWidgetItem(icon, name, this);
    entry->setData(kPathRole, QVariant::fromValue(entryPath));
    entry->setData(kDepthRole, depth);
  };

  clear();
  // The root, then one level for each folder down to the current one.
  FsPath level = target.root_path();
  int depth = 0;
  add(openIcon, Shown(level), level, depth);
  for (const FsPath& name : target.relative_path()) {
    level /= name;
    add(openIcon, Shown(name), level, ++depth);
  }
  for (const FolderEntry& subdirectory : subdirectories) {
    add(closedIcon, subdirectory.shown, target / subdirectory.name, depth + 1);
  }
  setCurrentRow(depth);

  const bool changed = target != path_;
  path_ = target;
  if (changed) emit pathChanged();
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
  if (entry != nullptr) setPath(entry->data(kPathRole).value<FsPath>());
}
