#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace screen {

// A path as the file system names it: on Linux a name is bytes, and names
// copied from older machines are often not UTF-8 (ISO-8859-1 "movção.dat"
// is "mov\xe7\xe3o.dat"); on Windows it is UTF-16. Such a name is listed
// like any other, shown through Shown(), and opened by its real name,
// never by the text shown.
using FsPath = std::filesystem::path;

// `path` as the controls show it: readable UTF-8 (see ReadableText) with
// the platform's separators.
std::string Shown(const FsPath& path);

// The path that a text names, as the user types it (UTF-8).
FsPath PathOf(std::string_view utf8);

// The bytes that name `path` for the conversion engine: on Linux the
// path's own bytes, whatever they are; on Windows its UTF-8.
std::string PathBytes(const FsPath& path);

// `path` made absolute (relative to `base` when it is relative, and `base`
// relative to the working folder) and clean: no ".", no "..", no separator
// at the end except the root's.
FsPath AbsoluteFolder(const FsPath& base, const FsPath& path);

// Whether `path` is a folder this process can list and look into.
bool CanList(const FsPath& path);

// Whether `path` is a folder this process may enter, listed or not.
bool CanEnter(const FsPath& path);

// `folder`, a separator, `name`, whatever the folder ends in: a file in the
// root gets two separators in a row, which names the same file.
FsPath InFolder(const FsPath& folder, const FsPath& name);

struct FolderEntry {
  FsPath name;         // as the file system names it
  std::string shown;   // Shown(name)
  std::u32string key;  // ravuvur::CaseFolded(shown), for ordering and matching
};

// The order the lists show entries in: by the name shown, ignoring letter
// case; names shown alike by their bytes.
bool ShownBefore(const FolderEntry& a, const FolderEntry& b);

FolderEntry MakeEntry(FsPath name);

// What one reading of a folder gives: its files (links to files included)
// and its subfolders, each without the hidden ones (a name starting with a
// dot), in ShownBefore() order.
struct FolderContents {
  bool listed = false;  // false where the folder could not be read
  std::vector<FolderEntry> files;
  std::vector<FolderEntry> folders;
};

FolderContents ReadFolder(const FsPath& folder);

// What the system says an entry of a folder is, links followed: a link to
// nowhere, a device or a pipe is neither a folder nor a file.
enum class EntryKind { kFolder, kFile, kOther };

// Calls `visit(name, kind)` for each entry of `folder` but "." and "..";
// false when the folder cannot be read. One file per platform
// (folder_posix.cpp, folder_windows.cpp): Windows gives each entry's kind
// with its name, where asking again for each file would cost a call to the
// system apiece, 50 000 of them in a folder of 50 000 files.
bool ListFolder(const FsPath& folder, const std::function<void(FsPath, EntryKind)>& visit);

}  // namespace screen
