#include "window/folder.h"

#include <QDir>

#include <algorithm>
#include <system_error>

#include "window/readable_text.h"

namespace {

// Linux names files in bytes (std::string), Windows in UTF-16
// (std::wstring): one overload of each helper for each, chosen by the type
// of FsPath::native(); the other one goes unused.

QString Text(const std::string& bytes) { return ReadableText(bytes); }
[[maybe_unused]] QString Text(const std::wstring& utf16) {
  return ReadableText(QString::fromStdWString(utf16));
}

// Typed text as the file system names it: UTF-8 bytes, or UTF-16.
FsPath Named(const QString& text, const std::string& /*native*/) { return text.toStdString(); }
[[maybe_unused]] FsPath Named(const QString& text, const std::wstring& /*native*/) {
  return text.toStdWString();
}

}  // namespace

QString Shown(const FsPath& path) { return QDir::toNativeSeparators(Text(path.native())); }

FsPath PathOf(const QString& text) { return Named(text, FsPath().native()); }

bool ShownBefore(const FolderEntry& a, const FolderEntry& b) {
  const int order = a.shown.compare(b.shown, Qt::CaseInsensitive);
  return order != 0 ? order < 0 : a.name < b.name;
}

std::vector<FolderEntry> ListFolder(const FsPath& folder, EntryKind kind) {
  std::vector<FolderEntry> entries;
  std::error_code error;
  std::filesystem::directory_iterator entry(folder, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    FsPath name = entry->path().filename();
    if (name.native().starts_with('.')) continue;
    std::error_code typeError;  // a link to nowhere, or gone meanwhile
    const bool wanted = kind == EntryKind::kFolders ? entry->is_directory(typeError)
                                                    : entry->is_regular_file(typeError);
    if (wanted && !typeError) {
      QString shown = Shown(name);
      entries.push_back({std::move(name), std::move(shown)});
    }
  }
  std::sort(entries.begin(), entries.end(), ShownBefore);
  return entries;
}
