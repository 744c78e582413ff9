#pragma once

#include <functional>
#include <vector>

#include "screen/folder.h"

namespace screen {

// The root folders of the machine's drives: "C:\", "D:\", ... on Windows;
// elsewhere the mount points of the file systems that hold files (not
// /proc, /sys and the like), whatever bytes their paths hold.
std::vector<FsPath> MountedRoots();

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
