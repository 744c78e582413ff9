#include <windows.h>

#include <system_error>

#include "screen/folder.h"

namespace screen {

namespace {

// A link (a reparse point) is what it leads to, which only a look at its
// target tells.
EntryKind KindOf(const WIN32_FIND_DATAW& found, const FsPath& folder) {
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    std::error_code error;
    const auto status = std::filesystem::status(folder / found.cFileName, error);
    if (error) return EntryKind::kOther;
    if (std::filesystem::is_directory(status)) return EntryKind::kFolder;
    return std::filesystem::is_regular_file(status) ? EntryKind::kFile : EntryKind::kOther;
  }
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::kFolder
                                                                  : EntryKind::kFile;
}

}  // namespace

bool ListFolder(const FsPath& folder, const std::function<void(FsPath, EntryKind)>& visit) {
  std::wstring pattern = folder.native();
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  // A drive's root holds no "." and "..": when empty, it matches nothing.
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    visit(FsPath(name), KindOf(found, folder));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

}  // namespace screen
