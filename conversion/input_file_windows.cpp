#include <algorithm>

#include "conversion/input_file.h"
#include "conversion/win32_file.h"
#include "core/wide_text.h"

namespace ravuvur {
namespace {

// The header keeps the handle as an integer, one type for both platforms.
HANDLE AsHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);  // NOLINT(performance-no-int-to-ptr)
}

}  // namespace

std::string LongPath(std::string_view utf8Path) {
  const std::wstring path = WideFromUtf8(utf8Path);
  if (path.empty() || win32::NamesADevice(path)) return std::string(utf8Path);
  std::wstring longPath(MAX_PATH, L'\0');
  DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), MAX_PATH);
  if (length >= MAX_PATH) {
    longPath.resize(length);
    length = GetLongPathNameW(path.c_str(), longPath.data(), length);
  }
  if (length == 0 || length >= longPath.size()) return std::string(utf8Path);  // no such file
  longPath.resize(length);
  // The letter case the user typed stays, as does anything else Windows
  // would spell its own way: only an alias on the way changes the path.
  if (CompareStringOrdinal(path.c_str(), static_cast<int>(path.size()), longPath.c_str(),
                           static_cast<int>(longPath.size()), TRUE) == CSTR_EQUAL) {
    return std::string(utf8Path);
  }
  return Utf8FromWide(longPath);
}

bool InputFile::Open(std::string_view utf8Path) {
  Close();
  const std::wstring path = WideFromUtf8(utf8Path);
  if (path.empty() || win32::NamesADevice(path)) return false;
  // Shared for reading and writing, as the C library opens files: a movement
  // file still open in another program is read all the same.
  win32::Handle file(CreateFileW(
      path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | win32::kNoImpersonation, nullptr));
  // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS; anything
  // else that is not a file on a disk is refused here.
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.IsValid() || GetFileType(file.Get()) != FILE_TYPE_DISK ||
      !GetFileInformationByHandle(file.Get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  identity_ = win32::IdentityOf(info);
  handle_ = reinterpret_cast<std::intptr_t>(file.Release());
  return true;
}

std::ptrdiff_t InputFile::Read(char* into, std::size_t size) noexcept {
  const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, std::size_t{1} << 30));
  DWORD read = 0;
  if (!ReadFile(AsHandle(handle_), into, chunk, &read, nullptr)) return -1;
  return static_cast<std::ptrdiff_t>(read);
}

void InputFile::Close() noexcept {
  if (handle_ != kClosed) CloseHandle(AsHandle(handle_));
  handle_ = kClosed;
}

}  // namespace ravuvur
