#include <array>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "screen/drives.h"

namespace screen {

namespace {

// The kernel writes a space, tab, line feed or backslash in a mount point
// as a backslash and three octal digits.
std::string Unescaped(std::string_view field) {
  std::string out;
  for (std::size_t at = 0; at < field.size(); ++at) {
    const auto octal = [&field](std::size_t i) { return field[i] >= '0' && field[i] <= '7'; };
    if (field[at] == '\\' && at + 3 < field.size() && octal(at + 1) && octal(at + 2) &&
        octal(at + 3)) {
      const int value =
          (field[at + 1] - '0') * 64 + (field[at + 2] - '0') * 8 + (field[at + 3] - '0');
      out += static_cast<char>(value);
      at += 3;
    } else {
      out += field[at];
    }
  }
  return out;
}

// File systems that hold no user files.
bool IsPseudo(std::string_view type, std::string_view point) {
  constexpr std::array<std::string_view, 22> kPseudo = {
      "autofs",  "binfmt_misc", "bpf",      "cgroup",          "cgroup2",    "configfs",
      "debugfs", "devpts",      "devtmpfs", "efivarfs",        "fusectl",    "hugetlbfs",
      "mqueue",  "nsfs",        "proc",     "pstore",          "rpc_pipefs", "securityfs",
      "sysfs",   "tracefs",     "ramfs",    "overlay-internal"};
  for (const std::string_view pseudo : kPseudo) {
    if (type == pseudo) return true;
  }
  for (const std::string_view system : {"/proc", "/sys", "/dev", "/run"}) {
    if (point.starts_with(system) &&
        (point.size() == system.size() || point[system.size()] == '/')) {
      return !point.starts_with("/run/media");
    }
  }
  return false;
}

}  // namespace

std::vector<FsPath> MountedRoots() {
  std::vector<FsPath> roots;
  std::ifstream mounts("/proc/self/mounts");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device;
    std::string point;
    std::string type;
    if (!(fields >> device >> point >> type)) continue;
    const std::string path = Unescaped(point);
    if (!IsPseudo(type, path)) roots.emplace_back(path);
  }
  if (roots.empty()) roots.emplace_back("/");
  return roots;
}

}  // namespace screen
