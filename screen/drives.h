#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "screen/folder.h"

namespace screen {

// The root folders of the machine's drives: "C:\", "D:\", ... on Windows;
// elsewhere the mount points of the file systems that hold files (not
// /proc, /sys and the like), whatever bytes their paths hold.
std::vector<FsPath> MountedRoots();

// Linux: the mount points a mount table (the text of /proc/self/mounts) lists,
// but for those of file systems that hold no user files (/proc, /sys,
// /dev, /run and the like). A mount point is kept by its bytes, whatever
// they are, the kernel's octal escapes (\040 for a space) undone. A table
// that lists none (no /proc to read it from) gives the root, "/".
std::vector<FsPath> RootsInMountTable(std::string_view table);

// Where a model gets its drives from, read afresh each time they are shown.
using DriveSource = std::function<std::vector<FsPath>()>;

// The deepest of `roots` that holds `path`, with links followed: a folder
// reached through a link lies on the drive the link leads to. Empty when
// none does.
FsPath DriveOf(const FsPath& path, const std::vector<FsPath>& roots);

// The drive list's entries: every root that can be listed, and `chosen`
// (even if it has gone away), each once, in ShownBefore() order.
std::vector<FolderEntry> DriveEntries(const std::vector<FsPath>& roots, const FsPath& chosen);

}  // namespace screen
