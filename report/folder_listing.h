#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the report needs of the file system beyond reading a movement file:
// telling a folder from a file, and the names a folder holds. Each
// platform has its own (folder_listing_posix.cpp, folder_listing_windows.cpp).
namespace report {

// Whether `path` (UTF-8) names a folder, through links.
bool IsFolder(std::string_view path);

// The names of the entries of the folder `path`, "." and ".." left out,
// as UTF-8 (on Windows, names that are not valid UTF-16 as WTF-8).
// Nothing when the folder cannot be read, with `reason` saying why in the
// system's words.
std::optional<std::vector<std::string>> NamesIn(std::string_view path, std::string& reason);

// The path of the entry `name` of the folder `folder`.
std::string InFolder(std::string_view folder, std::string_view name);

}  // namespace report
