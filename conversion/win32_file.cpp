#include "conversion/win32_file.h"

namespace ravuvur::win32 {

bool NamesADevice(const std::wstring& path) {
  // Windows itself turns a device name into the device namespace \\.\ when
  // it makes the path full.
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return false;  // a long path names no device
  return std::wstring_view(full, length).starts_with(LR"(\\.\)");
}

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) noexcept {
  return {info.dwVolumeSerialNumber,
          (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace ravuvur::win32
