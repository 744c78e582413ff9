#include "conversion/win32_file.h"

#include <cwctype>

namespace ravuvur::win32 {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// `path` begins with `prefix`, either separator standing for the other
// and letters in any case.
bool BeginsWith(std::wstring_view path, std::wstring_view prefix) {
  if (path.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const bool same = IsSeparator(prefix[i]) ? IsSeparator(path[i])
                                             : std::towupper(path[i]) == std::towupper(prefix[i]);
    if (!same) return false;
  }
  return true;
}

// The share of a UNC path ("\\server\share\..."), starting at `at`.
std::wstring_view ShareOf(std::wstring_view path, std::size_t at) {
  std::size_t server = at;
  while (server < path.size() && !IsSeparator(path[server])) ++server;
  std::size_t end = server + 1;
  while (end < path.size() && !IsSeparator(path[end])) ++end;
  return server < path.size() ? path.substr(server + 1, end - server - 1) : std::wstring_view();
}

// A share that is not a folder: another machine's named pipes and mail
// slots are reached through these.
bool IsIpcShare(std::wstring_view share) {
  for (const std::wstring_view name : {L"pipe", L"mailslot", L"IPC$"}) {
    if (share.size() == name.size() && BeginsWith(share, name)) return true;
  }
  return false;
}

// The forms that reach the object namespace without Windows' own path
// rules: "\\?\" (and "\??\", the same thing spelt as the kernel spells it)
// name a file only when a drive, a UNC path or a volume follows; anything
// else there (pipe\NAME, COM1, GLOBALROOT\Device\...) is a device.
bool NamesAnObject(std::wstring_view path) {
  if (!BeginsWith(path, LR"(\\?\)") && !BeginsWith(path, LR"(\??\)")) {
    return BeginsWith(path, LR"(\\)") && IsIpcShare(ShareOf(path, 2));
  }
  const std::wstring_view rest = path.substr(4);
  if (rest.size() >= 3 && std::iswalpha(rest[0]) && rest[1] == L':' && IsSeparator(rest[2])) {
    return false;
  }
  if (BeginsWith(rest, LR"(UNC\)")) return IsIpcShare(ShareOf(rest, 4));
  if (BeginsWith(rest, L"Volume{")) {
    const std::size_t close = rest.find(L"}\\");
    return close == std::wstring_view::npos || close + 2 == rest.size();
  }
  return true;
}

}  // namespace

bool NamesADevice(const std::wstring& path) {
  if (NamesAnObject(path)) return true;
  // Windows itself turns a device name (NUL, C:\dados\com1.dat) into the
  // device namespace \\.\ when it makes the path full.
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return true;  // no full path, nothing Windows could open either
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return true;
  full.resize(length);
  return BeginsWith(full, LR"(\\.\)") || NamesAnObject(full);
}

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) noexcept {
  return {info.dwVolumeSerialNumber,
          (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace ravuvur::win32
