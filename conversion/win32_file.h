#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "conversion/input_file.h"

// What input_file_windows.cpp and csv_file_windows.cpp share. Both hand
// paths to the wide (UTF-16) API as the user gave them: drive letters,
// backslashes or forward slashes, UNC and relative paths are all the API's
// own to understand.
namespace ravuvur::win32 {

// True for names of devices: NUL, CON, COM1 (also as C:\dados\nul.dat),
// \\.\pipe\..., \\?\pipe\..., \??\COM1, \\?\GLOBALROOT\..., another machine's
// pipes (\\server\pipe\...). Opening a serial port or a console has effects
// of its own, and a pipe's server sees its client, so such names are
// refused before anything is opened.
bool NamesADevice(const std::wstring& path);

// Flags for every CreateFileW: should a name still reach a pipe (a link on
// the way, a server's share), its server may learn who the client is but
// never act as that user.
constexpr DWORD kNoImpersonation = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

// Volume serial number and file index: equal for two names of one file,
// whatever their letter case.
FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) noexcept;

// Closes the handle it holds when it goes.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) noexcept : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.Release();
    }
    return *this;
  }

  bool IsValid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const noexcept { return handle_; }
  HANDLE Release() noexcept { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
  void Close() noexcept {
    if (IsValid()) CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace ravuvur::win32
