#include "window/folder.h"

#include <QDir>
#include <QFileInfo>

QString AbsoluteFolder(const QString& base, const QString& path) {
  return QDir::cleanPath(QDir(base).absoluteFilePath(path));
}

bool CanList(const QString& path) {
  const QFileInfo info(path);
  return info.isDir() && info.isReadable() && info.isExecutable();
}
