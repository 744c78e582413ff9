#pragma once

#include <QString>

// What the three browsing lists need to know about a folder.

// `path` made absolute (relative to `base` when it is relative) and clean,
// in Qt's form with slashes.
QString AbsoluteFolder(const QString& base, const QString& path);

// Whether `path` is a directory this process can list: one that does not
// exist, is a file, or is locked (or a drive without a medium) is not.
bool CanList(const QString& path);
