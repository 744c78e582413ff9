#include <windows.h>

#include "core/wide_text.h"
#include "report/folder_listing.h"

namespace report {
namespace {

// Why a folder could not be read.
std::string LastErrorText() {
  const DWORD error = GetLastError();
  return error == ERROR_ACCESS_DENIED ? "access denied" : "Windows error " + std::to_string(error);
}

bool EndsWithSeparator(std::string_view path) {
  return path.ends_with('\\') || path.ends_with('/') || path.ends_with(':');
}

}  // namespace

bool IsFolder(std::string_view path) {
  const DWORD attributes = GetFileAttributesW(ravuvur::WideFromUtf8(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::vector<std::string>> NamesIn(std::string_view path, std::string& reason) {
  const std::wstring pattern = ravuvur::WideFromUtf8(InFolder(path, "*"));
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) {
    reason = LastErrorText();
    return std::nullopt;
  }
  std::vector<std::string> names;
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(ravuvur::Utf8FromWide(name));
  } while (FindNextFileW(search, &found));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  if (!complete) reason = LastErrorText();
  FindClose(search);
  if (!complete) return std::nullopt;
  return names;
}

std::string InFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && !EndsWithSeparator(path)) path += '\\';
  return path + std::string(name);
}

}  // namespace report
