#include <system_error>

#include "screen/folder.h"

namespace screen {

// The kind comes with the name where the file system tells it (d_type),
// from a look at the entry otherwise.
bool ListFolder(const FsPath& folder, const std::function<void(FsPath, EntryKind)>& visit) {
  std::error_code error;
  std::filesystem::directory_iterator entry(folder, error);
  if (error) return false;
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    std::error_code typeError;  // a link to nowhere, or gone meanwhile
    EntryKind kind = EntryKind::kOther;
    if (entry->is_directory(typeError)) {
      kind = EntryKind::kFolder;
    } else if (!typeError && entry->is_regular_file(typeError) && !typeError) {
      kind = EntryKind::kFile;
    }
    visit(entry->path().filename(), kind);
  }
  return true;
}

}  // namespace screen
