#include "screen/folder.h"

#include <algorithm>
#include <system_error>

#include "core/text.h"
#include "screen/readable_text.h"

namespace screen {

namespace {

// Linux names files in bytes (std::string), Windows in UTF-16
// (std::wstring): one overload of each helper for each, chosen by the type
// of FsPath::native(); the other one goes unused.

[[maybe_unused]] std::string ShownName(const std::string& bytes) { return ReadableText(bytes); }
[[maybe_unused]] std::string ShownName(const std::wstring& utf16) {
  return ReadableText(std::u16string(utf16.begin(), utf16.end()));
}

[[maybe_unused]] void UseBackslashes(std::string& /*shown*/, const std::string& /*native*/) {}
[[maybe_unused]] void UseBackslashes(std::string& shown, const std::wstring& /*native*/) {
  std::replace(shown.begin(), shown.end(), '/', '\\');
}

[[maybe_unused]] FsPath Named(std::string_view utf8, const std::string& /*native*/) {
  return FsPath(std::string(utf8));
}
[[maybe_unused]] FsPath Named(std::string_view utf8, const std::wstring& /*native*/) {
  return FsPath(std::u8string(utf8.begin(), utf8.end()));
}

[[maybe_unused]] std::string Bytes(const std::string& bytes, const FsPath& /*path*/) {
  return bytes;
}
[[maybe_unused]] std::string Bytes(const std::wstring& /*utf16*/, const FsPath& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace

std::string Shown(const FsPath& path) {
  std::string shown = ShownName(path.native());
  UseBackslashes(shown, path.native());
  return shown;
}

FsPath PathOf(std::string_view utf8) { return Named(utf8, FsPath().native()); }

std::string PathBytes(const FsPath& path) { return Bytes(path.native(), path); }

FsPath AbsoluteFolder(const FsPath& base, const FsPath& path) {
  std::error_code error;
  FsPath folder = std::filesystem::absolute(base / path, error);
  if (error) folder = base / path;
  folder = folder.lexically_normal();
  if (!folder.has_filename() && folder != folder.root_path()) folder = folder.parent_path();
  return folder;
}

bool CanEnter(const FsPath& path) {
  std::error_code error;
  // What a folder holds can be told apart only with the right to search it.
  return std::filesystem::is_directory(path, error) &&
         std::filesystem::is_directory(path / ".", error);
}

bool CanList(const FsPath& path) {
  if (!CanEnter(path)) return false;
  std::error_code error;
  const std::filesystem::directory_iterator opened(path, error);
  return !error;
}

FsPath InFolder(const FsPath& folder, const FsPath& name) {
  return FsPath(folder.native() + FsPath::preferred_separator + name.native());
}

bool ShownBefore(const FolderEntry& a, const FolderEntry& b) {
  const int order = a.key.compare(b.key);
  return order != 0 ? order < 0 : a.name.native() < b.name.native();
}

FolderEntry MakeEntry(FsPath name) {
  std::string shown = Shown(name);
  std::u32string key = ravuvur::CaseFolded(shown);
  return {std::move(name), std::move(shown), std::move(key)};
}

FolderContents ReadFolder(const FsPath& folder) {
  FolderContents contents;
  contents.listed = ListFolder(folder, [&contents](FsPath name, EntryKind kind) {
    if (name.native().starts_with(FsPath::value_type('.'))) return;
    if (kind == EntryKind::kOther) return;
    (kind == EntryKind::kFolder ? contents.folders : contents.files)
        .push_back(MakeEntry(std::move(name)));
  });
  std::sort(contents.files.begin(), contents.files.end(), ShownBefore);
  std::sort(contents.folders.begin(), contents.folders.end(), ShownBefore);
  return contents;
}

}  // namespace screen
