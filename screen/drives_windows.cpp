#include <windows.h>

#include <string>

#include "screen/drives.h"

namespace screen {

std::vector<FsPath> MountedRoots() {
  std::vector<FsPath> roots;
  std::wstring names(1024, L'\0');
  const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(names.size()), names.data());
  names.resize(length < names.size() ? length : 0);
  // "C:\", "D:\", ..., each ended by a null.
  for (std::size_t at = 0; at < names.size();) {
    const std::size_t end = names.find(L'\0', at);
    const std::wstring root = names.substr(at, end - at);
    if (!root.empty()) roots.emplace_back(root);
    if (end == std::wstring::npos) break;
    at = end + 1;
  }
  return roots;
}

}  // namespace screen
