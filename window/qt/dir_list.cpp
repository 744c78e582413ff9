#include "window/qt/dir_list.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

constexpr int kDepthRole = Qt::UserRole;  // 0 for the root
constexpr int kIndentPerDepth = 8;        // pixels

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

DirList::DirList(screen::ScreenModel* shared, QWidget* parent)
    : QListWidget(parent), ScreenView(shared), version_(model_.foldersVersion() - 1U) {
  setItemDelegate(new IndentDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(this, &QListWidget::itemDoubleClicked, this, &DirList::open);
  showModel();
}

bool DirList::setPath(const FsPath& path) {
  const FsPath before = model_.folder();
  const bool done = model_.OpenFolder(path);
  opened(done, before);
  return done;
}

void DirList::showModel() {
  if (version_ == model_.foldersVersion()) return;
  version_ = model_.foldersVersion();
  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  clear();
  for (const screen::FolderLine& line : model_.folderLines()) {
    auto* entry = new QListWidgetItem(line.open ? openIcon : closedIcon, Utf8(line.shown), this);
    entry->setData(kDepthRole, line.depth);
  }
  setCurrentRow(static_cast<int>(model_.currentFolderLine()));
}

void DirList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    open(currentItem());
    return;
  }
  QListWidget::keyPressEvent(event);
}

void DirList::open(const QListWidgetItem* entry) {
  if (entry == nullptr) return;
  const FsPath before = model_.folder();
  opened(model_.OpenFolderLine(static_cast<std::size_t>(row(entry))), before);
}

void DirList::opened(bool done, const FsPath& before) {
  if (!done) return;
  showModel();
  if (model_.folder() != before) emit pathChanged();
}
