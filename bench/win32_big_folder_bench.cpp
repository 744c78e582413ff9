// bench_win32_big_folder [RUNS]: zizadod5.exe's window in big folders,
// driven through its real controls (under Wine by
// bench/win32_big_folder.sh, or on Windows), each step also timed apart so
// that the whole can be told from its parts:
//
// - open: the window, showing a small folder with the pattern "*.*", opens
//   a folder of 50 000 files (half .DAT, half .CSV) from its folder list,
//   until painted;
//   - model: of that, the screen model's part (OpenFolder), no window;
//   - read: of which the listing of the folder (ReadFolder);
//   - system: of which the system's own listing (ListFolder, every name
//     and kind handed over and dropped);
//   - fill: of that, the 50 000 names put into a list box of the file
//     list's kind, as the window does, until painted;
// - keystroke: one key typed into the pattern box ("*.DA" becomes "*.DAT",
//   which takes 10 000 of them) over a folder of 20 000 files, until
//   painted;
// - start: a window made and shown in the folder of 50 000 ("*.DAT"
//   applied), until painted.
//
// The same figures for the Qt window come from bench_big_folder. Each is
// RUNS runs (default 7), in the folders big\ and medium\ of HOME, made
// there when missing (Wine takes minutes to make them: the script makes
// them from the Linux side).
//
//   bench_win32_big_folder HOME [RUNS]

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/spread.h"
#include "screen/drives.h"
#include "screen/folder.h"
#include "screen/screen_model.h"
#include "window/win32/frm_conv.h"

namespace {

namespace fs = std::filesystem;

double Now() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMs;
}

std::wstring Name(int i) {
  wchar_t name[32];
  std::swprintf(name, 32, L"MOV%06d.%ls", i, i % 2 != 0 ? L"CSV" : L"DAT");
  return name;
}

bool MakeFiles(const fs::path& folder, int count) {
  std::error_code error;
  if (fs::exists(folder / Name(count - 1), error)) return true;
  fs::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    const HANDLE file = CreateFileW((folder / Name(i)).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
  }
  return true;
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

HWND Control(HWND window, const char* name) { return GetDlgItem(window, win32::ControlId(name)); }

HWND ShownWindow() {
  const HWND window = win32::CreateFrmConv(GetModuleHandleW(nullptr));
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  Pump();
  return window;
}

// Types `text` into the pattern box, in place of what it holds or after
// it.
void TypePattern(HWND window, const wchar_t* text, bool replace = true) {
  const HWND field = GetWindow(Control(window, "cboTipo"), GW_CHILD);
  if (replace) SendMessageW(field, EM_SETSEL, 0, -1);
  for (const wchar_t* c = text; *c != L'\0'; ++c) SendMessageW(field, WM_CHAR, *c, 1);
}

// Opens the subfolder `name` of the folder shown, as a double click on its
// line of the folder list does.
void OpenSubfolder(HWND window, std::wstring_view name) {
  const HWND folders = Control(window, "dirDTA");
  const auto count = SendMessageW(folders, LB_GETCOUNT, 0, 0);
  // The subfolders' lines follow the folder's own, which is chosen.
  const auto shown = SendMessageW(folders, LB_GETCURSEL, 0, 0);
  for (auto line = static_cast<WPARAM>(shown + 1); line < static_cast<WPARAM>(count); ++line) {
    wchar_t text[MAX_PATH];
    SendMessageW(folders, LB_GETTEXT, line, reinterpret_cast<LPARAM>(text));
    const std::wstring_view subfolder(text);
    if (!subfolder.ends_with(name)) continue;
    SendMessageW(folders, LB_SETCURSEL, line, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(win32::ControlId("dirDTA"), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(folders));
    return;
  }
  std::fprintf(stderr, "bench_win32_big_folder: no subfolder %ls\n", std::wstring(name).c_str());
  std::exit(1);
}

// A list box of the file list's kind, filled with `names` as the window
// fills it, until painted.
double FillTime(HWND window, const std::vector<screen::FolderEntry>& names) {
  const HWND list =
      CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                      WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, 0, 0,
                      273, 158, window, nullptr, nullptr, nullptr);
  const double start = Now();
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const screen::FolderEntry& entry : names) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(list);
  const double took = Now() - start;
  DestroyWindow(list);
  return took;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 2 ? _wtoi(argv[2]) : 7;
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_win32_big_folder HOME [RUNS]\n");
    return 2;
  }
  const fs::path home = fs::absolute(argv[1]);
  if (runs < 1 || !MakeFiles(home / L"big", 50000) || !MakeFiles(home / L"medium", 20000)) {
    std::fprintf(stderr, "bench_win32_big_folder: could not make the folders\n");
    return 1;
  }

  std::vector<double> open;
  std::vector<double> model;
  std::vector<double> read;
  std::vector<double> system;
  std::vector<double> fill;
  std::vector<double> keystroke;
  std::vector<double> start;
  for (int run = 0; run < runs; ++run) {
    SetCurrentDirectoryW(home.c_str());
    HWND window = ShownWindow();
    TypePattern(window, L"*.*");
    UpdateWindow(window);
    double begin = Now();
    OpenSubfolder(window, L"big");
    UpdateWindow(window);
    open.push_back(Now() - begin);

    screen::ScreenModel alone(screen::MountedRoots, home);
    alone.Load();
    alone.SetPattern("*.*");
    begin = Now();
    alone.OpenFolder(home / L"big");
    model.push_back(Now() - begin);

    begin = Now();
    const screen::FolderContents contents = screen::ReadFolder(home / L"big");
    read.push_back(Now() - begin);
    begin = Now();
    screen::ListFolder(home / L"big", [](const screen::FsPath&, screen::EntryKind) {});
    system.push_back(Now() - begin);
    fill.push_back(FillTime(window, contents.files));
    DestroyWindow(window);

    window = ShownWindow();
    OpenSubfolder(window, L"medium");
    TypePattern(window, L"*.DA");
    UpdateWindow(window);
    begin = Now();
    TypePattern(window, L"T", false);
    UpdateWindow(window);
    keystroke.push_back(Now() - begin);
    DestroyWindow(window);

    SetCurrentDirectoryW((home / L"big").c_str());
    begin = Now();
    window = ShownWindow();
    start.push_back(Now() - begin);
    DestroyWindow(window);
    Pump();
  }
  SetCurrentDirectoryW(home.c_str());
  bench::PrintSpread("open a folder of 50 000 files (*.*)", open);
  bench::PrintSpread("  of which: the model (OpenFolder)", model);
  bench::PrintSpread("    of which: listing it (ReadFolder)", read);
  bench::PrintSpread("      of which: the system's listing", system);
  bench::PrintSpread("  of which: 50 000 names into a list box", fill);
  bench::PrintSpread("one keystroke, 20 000 files", keystroke);
  bench::PrintSpread("start in a folder of 50 000 files", start);
  return 0;
}
