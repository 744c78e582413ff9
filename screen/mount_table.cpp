#include <array>
#include <sstream>
#include <string>

#include "screen/drives.h"

namespace screen {

namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

// The kernel writes a space, tab, line feed or backslash in a mount point
// as a backslash and three octal digits.
std::string Unescaped(std::string_view field) {
  std::string out;
  for (std::size_t at = 0; at < field.size(); ++at) {
    if (field[at] == '\\' && at + 3 < field.size() && IsOctal(field[at + 1]) &&
        IsOctal(field[at + 2]) && IsOctal(field[at + 3])) {
      out += static_cast<char>((field[at + 1] - '0') * 64 + (field[at + 2] - '0') * 8 +
                               (field[at + 3] - '0'));
      at += 3;
    } else {
      out += field[at];
    }
  }
  return out;
}

// File systems that hold no user files.
bool IsPseudo(std::string_view type, std::string_view point) {
  constexpr std::array<std::string_view, 21> kPseudo = {
      "autofs", "binfmt_misc", "bpf",        "cgroup",     "cgroup2",   "configfs", "debugfs",
      "devpts", "devtmpfs",    "efivarfs",   "fusectl",    "hugetlbfs", "mqueue",   "nsfs",
      "proc",   "pstore",      "rpc_pipefs", "securityfs", "sysfs",     "tracefs",  "ramfs"};
  for (const std::string_view pseudo : kPseudo) {
    if (type == pseudo) return true;
  }
  for (const std::string_view system : {"/proc", "/sys", "/dev", "/run"}) {
    if (point.starts_with(system) &&
        (point.size() == system.size() || point[system.size()] == '/')) {
      return !point.starts_with("/run/media/");
    }
  }
  return false;
}

}  // namespace

std::vector<FsPath> RootsInMountTable(std::string_view table) {
  std::vector<FsPath> roots;
  std::istringstream lines{std::string(table)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device;
    std::string point;
    std::string type;
    if (!(fields >> device >> point >> type)) continue;
    std::string path = Unescaped(point);
    if (!IsPseudo(type, path)) roots.emplace_back(std::move(path));
  }
  // No table (no /proc in a container or chroot) still has its root.
  if (roots.empty()) roots.emplace_back("/");
  return roots;
}

}  // namespace screen
