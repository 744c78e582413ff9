#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "report/folder_listing.h"

namespace report {

bool IsFolder(std::string_view path) {
  struct stat st {};
  return ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::vector<std::string>> NamesIn(std::string_view path, std::string& reason) {
  const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(std::string(path).c_str()),
                                                   ::closedir);
  if (!folder) {
    reason = std::strerror(errno);
    return std::nullopt;
  }
  std::vector<std::string> names;
  for (;;) {
    errno = 0;
    // readdir on a stream of our own is safe in any thread; readdir_r,
    // which the check would have, is the one POSIX has deprecated.
    // cppcheck-suppress readdirCalled
    const dirent* entry = ::readdir(folder.get());
    if (entry == nullptr) break;
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  if (errno != 0) {
    reason = std::strerror(errno);
    return std::nullopt;
  }
  return names;
}

std::string InFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && !path.ends_with('/')) path += '/';
  return path + std::string(name);
}

}  // namespace report
