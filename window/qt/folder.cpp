#include "window/qt/folder.h"

QString Shown(const FsPath& path) { return Utf8(screen::Shown(path)); }

FsPath PathOf(const QString& text) { return screen::PathOf(text.toStdString()); }
