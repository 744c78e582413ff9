#include "screen/drives.h"

#include <algorithm>
#include <iterator>
#include <system_error>

namespace screen {

namespace {

// How many names `path` has, the root counting as one.
std::ptrdiff_t Depth(const FsPath& path) { return std::distance(path.begin(), path.end()); }

bool Holds(const FsPath& root, const FsPath& path) {
  return std::mismatch(root.begin(), root.end(), path.begin(), path.end()).first == root.end();
}

}  // namespace

FsPath DriveOf(const FsPath& path, const std::vector<FsPath>& roots) {
  std::error_code error;
  FsPath real = std::filesystem::canonical(path, error);
  if (error) real = path;
  FsPath deepest;
  for (const FsPath& root : roots) {
    if (Holds(root, real) && (deepest.empty() || Depth(root) > Depth(deepest))) deepest = root;
  }
  return deepest;
}

std::vector<FolderEntry> DriveEntries(const std::vector<FsPath>& roots, const FsPath& chosen) {
  std::vector<FolderEntry> drives;
  for (const FsPath& root : roots) {
    if (CanList(root)) drives.push_back(MakeEntry(root));
  }
  if (!chosen.empty()) drives.push_back(MakeEntry(chosen));
  std::sort(drives.begin(), drives.end(), ShownBefore);
  const auto same = [](const FolderEntry& a, const FolderEntry& b) { return a.name == b.name; };
  drives.erase(std::unique(drives.begin(), drives.end(), same), drives.end());
  return drives;
}

}  // namespace screen
