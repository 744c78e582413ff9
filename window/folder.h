#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <vector>

// What the browsing lists need to know about files and folders.
//
// A path is kept as the file system names it, in an FsPath: on Linux a
// name is bytes, and names copied from older machines are often not UTF-8
// (ISO-8859-1 "movção.dat" is "mov\xe7\xe3o.dat"). Such a name is listed
// like any other, shown through Shown() with stand-ins for what is not
// text, and opened by its real bytes, never by the text shown.
using FsPath = std::filesystem::path;

// `path` as the controls show it: readable text (see ReadableText) with
// the platform's separators.
QString Shown(const FsPath& path);

// The path that a text names, as the user types it: its UTF-8 on Linux.
FsPath PathOf(const QString& text);

// The bytes that name `path` for the conversion engine: on Linux the
// path's own bytes, whatever they are; elsewhere its UTF-8.
std::string PathBytes(const FsPath& path);

// `path` made absolute (relative to `base` when it is relative, and `base`
// relative to the working folder) and clean: no ".", no "..", no separator
// at the end except the root's.
FsPath AbsoluteFolder(const FsPath& base, const FsPath& path);

// Whether `path` is a folder this process can list and look into: one that
// does not exist, is a file, or is locked (or a drive without a medium) is
// not.
bool CanList(const FsPath& path);

// `folder`, a separator, `name`, whatever the folder ends in: a file in the
// root gets two separators in a row, which names the same file.
FsPath InFolder(const FsPath& folder, const FsPath& name);

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
