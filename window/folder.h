#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <vector>

#include "screen/folder.h"

// What the browsing lists need to know about files and folders.
//
// A path is kept as the file system names it, in an FsPath: on Linux a
// name is bytes, and names copied from older machines are often not UTF-8
// (ISO-8859-1 "movção.dat" is "mov\xe7\xe3o.dat"). Such a name is listed
// like any other, shown through Shown() with stand-ins for what is not
// text, and opened by its real bytes, never by the text shown.
using FsPath = screen::FsPath;

// `path` as the controls show it: readable text (see ReadableText) with
// the platform's separators.
QString Shown(const FsPath& path);

// The path that a text names, as the user types it: its UTF-8 on Linux.
FsPath PathOf(const QString& text);

// The bytes that name `path` for the conversion engine.
using screen::PathBytes;

// Folders made absolute, whether they can be listed, and a file's path in
// its folder: as the screen model has them.
using screen::AbsoluteFolder;
using screen::CanList;
using screen::InFolder;

struct FolderEntry {
  FsPath name;    // as the file system names it
  QString shown;  // Shown(name)
};

// The order the lists show entries in: by the name shown, ignoring letter
// case; names shown alike by their bytes.
bool ShownBefore(const FolderEntry& a, const FolderEntry& b);

enum class EntryKind { kFiles, kFolders };

// The files (links to files included) or the subfolders of `folder`,
// without the hidden ones (a name starting with a dot), in ShownBefore()
// order. Empty where the folder cannot be read.
std::vector<FolderEntry> ListFolder(const FsPath& folder, EntryKind kind);
