#include <fstream>
#include <iterator>
#include <string>

#include "screen/drives.h"

namespace screen {

std::vector<FsPath> MountedRoots() {
  std::ifstream mounts("/proc/self/mounts");
  const std::string table((std::istreambuf_iterator<char>(mounts)),
                          std::istreambuf_iterator<char>());
  return RootsInMountTable(table);
}

}  // namespace screen
