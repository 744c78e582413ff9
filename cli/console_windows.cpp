#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/console.h"
#include "core/name_pattern.h"
#include "core/wide_text.h"

namespace dta2csv {
namespace {

DWORD lastError = 0;
UINT consoleCodePageBefore = 0;

void RestoreConsoleCodePage() { SetConsoleOutputCP(consoleCodePageBefore); }

// Each LF as CR LF, as in the CSV's rows and every Windows text file.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t begin = 0; begin < text.size();) {
    const std::size_t end = std::min(text.find('\n', begin), text.size());
    out.append(text, begin, end - begin);
    if (end < text.size()) out += "\r\n";
    begin = end + 1;
  }
  return out;
}

bool WriteAll(DWORD stream, std::string_view text) {
  const HANDLE out = GetStdHandle(stream);
  const std::string lines = WithCrLf(text);
  std::string_view bytes = lines;
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

std::vector<std::string> FilesNamedBy(const std::string& argument) {
  // Only the last name may hold the pattern: "?" in \\?\C:\... is part of
  // the form, not a wildcard.
  const std::size_t nameStart = argument.find_last_of("\\/:") + 1;  // npos + 1 == 0
  if (argument.find_first_of("*?", nameStart) == std::string::npos) return {argument};
  const std::string_view pattern = std::string_view(argument).substr(nameStart);
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  const HANDLE search =
      FindFirstFileExW(ravuvur::WideFromUtf8(argument).c_str(), FindExInfoBasic, &found,
                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      // Windows also finds a file whose short name alone matches
      // ("mov0612.datold" as MOV0~T2B.DAT for *.DAT): only the name the
      // user sees counts.
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
          ravuvur::MatchesLikeWindows(pattern, ravuvur::Utf8FromWide(found.cFileName))) {
        names.emplace_back(found.cFileName);
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  // In order of name, letter case aside, whatever order the file system
  // keeps them in (NTFS sorts them so; FAT and network shares need not).
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
  });
  std::vector<std::string> files;
  files.reserve(names.size());
  for (const std::wstring& name : names) {
    files.push_back(argument.substr(0, nameStart) + ravuvur::Utf8FromWide(name));
  }
  return files;
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

std::size_t FilesItMayOpen() { return SIZE_MAX; }

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
