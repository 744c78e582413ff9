#include "window/path_box.h"

#include <limits>

PathBox::PathBox(QWidget* parent) : QLineEdit(parent) {
  setMaxLength(std::numeric_limits<int>::max());
}

void PathBox::setPath(const FsPath& path) {
  chosen_ = path;
  chosenText_ = Shown(path);
  setText(chosenText_);
}

FsPath PathBox::path() const { return text() == chosenText_ ? chosen_ : PathOf(text()); }
