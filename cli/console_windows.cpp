#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

#include "cli/console.h"
#include "core/wide_text.h"

namespace dta2csv {
namespace {

DWORD lastError = 0;
UINT consoleCodePageBefore = 0;

void RestoreConsoleCodePage() { SetConsoleOutputCP(consoleCodePageBefore); }

bool WriteAll(DWORD stream, std::string_view bytes) {
  const HANDLE out = GetStdHandle(stream);
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(out, bytes.data(), chunk, &written, nullptr)) {
      lastError = GetLastError();
      return false;
    }
    if (written == 0) {
      lastError = ERROR_WRITE_FAULT;
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int /*argc*/, char** /*argv*/) {
  // argv holds the names in the ANSI code page, which cannot spell every
  // name (a Cyrillic name on a Portuguese system); the wide command line can.
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(ravuvur::Utf8FromWide(wide[i]));
  LocalFree(wide);
  return arguments;
}

void PrepareConsole() {
  // The log is UTF-8; a console shows it as such once its output code page
  // says so. The console is the user's: its code page is given back at
  // exit. A file or a pipe takes the bytes as they are. The time text needs
  // nothing here: it follows the user's locale by itself.
  const UINT before = GetConsoleOutputCP();  // 0 without a console
  if (before != 0 && before != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    consoleCodePageBefore = before;
    std::atexit(RestoreConsoleCodePage);
  }
}

bool WriteStdout(std::string_view bytes) { return WriteAll(STD_OUTPUT_HANDLE, bytes); }
bool WriteStderr(std::string_view bytes) { return WriteAll(STD_ERROR_HANDLE, bytes); }

std::string LastErrorText() {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, lastError, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring_view message(text, length);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) {
    message.remove_suffix(1);
  }
  std::string utf8 = ravuvur::Utf8FromWide(message);
  LocalFree(text);
  return utf8.empty() ? "error " + std::to_string(lastError) : utf8;
}

}  // namespace dta2csv
