#pragma once

#include <QString>

#include <string_view>

#include "screen/folder.h"

// Paths between the screen model and the controls. A path is kept as the
// file system names it (see screen/folder.h) and shown as readable text.
using FsPath = screen::FsPath;

// `path` as the controls show it: readable text with the platform's
// separators.
QString Shown(const FsPath& path);

// The path that a text names, as the user types it.
FsPath PathOf(const QString& text);

// UTF-8 from the model as the controls' text.
inline QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
