#include "window/win32/frm_conv.h"

#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/wide_text.h"
#include "screen/layout.h"
#include "screen/readable_text.h"
#include "screen/screen_model.h"
#include "window/win32/resource.h"

namespace win32 {

namespace {

constexpr wchar_t kClassName[] = L"zizadod5.frmConv";
constexpr int kFirstId = 100;  // clear of IDOK and IDCANCEL
constexpr int kVerdictId = kFirstId - 1;
constexpr COLORREF kOrange = RGB(255, 128, 0);
constexpr int kPointsTimes100 = 825;  // both fonts are 8.25 points

// Messages and window data carry handles and pointers as integers.
template <typename Pointer>
Pointer FromInteger(LONG_PTR value) {
  return reinterpret_cast<Pointer>(value);  // NOLINT(performance-no-int-to-ptr)
}

bool IsLabel(std::string_view name) { return name.starts_with("Label"); }
bool IsFrame(std::string_view name) { return name.starts_with("Frame"); }
bool IsOption(std::string_view name) { return name.starts_with("Option"); }

// The standard control each name stands for, and its styles.
struct ControlKind {
  const wchar_t* windowClass;
  DWORD style;
  DWORD extendedStyle;
};

ControlKind KindOf(std::string_view name) {
  constexpr DWORD kList = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
  if (IsFrame(name)) return {L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0};
  // Option1 starts the group of five; disabled, they are passed over.
  if (IsOption(name)) {
    const DWORD group = name == "Option1" ? WS_GROUP : 0;
    return {L"BUTTON", BS_AUTORADIOBUTTON | WS_DISABLED | group, 0};
  }
  if (name == "Label6") return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0};
  // A path too long for the label keeps its end, where the folder's name
  // is; SS_NOTIFY lets the tooltip see the pointer.
  if (name == "Label4") return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY | SS_PATHELLIPSIS, 0};
  if (IsLabel(name)) return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
  if (name == "txtConverte") {
    return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
  }
  if (name == "cboTipo") {
    return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
  }
  // The drive box draws its own rows (DrawDrive), its text centred.
  if (name == "driveDTA") {
    return {L"COMBOBOX",
            CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 0};
  }
  if (name == "cmdOK") return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
  // The log keeps lines in the order logged and has no horizontal scroll
  // bar: a long line is cut at the right edge.
  if (name == "lstResultado") {
    return {L"LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
  }
  return {L"LISTBOX", kList, WS_EX_CLIENTEDGE};  // fileDTA, dirDTA
}

// The first of `faces` installed here, else the last, for which the font
// mapper finds the nearest font of the pitch asked for.
std::wstring InstalledFace(std::initializer_list<const wchar_t*> faces) {
  const HDC screen = GetDC(nullptr);
  const wchar_t* found = *(faces.end() - 1);
  for (const wchar_t* face : faces) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool present = false;
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) -> int {
          *FromInteger<bool*>(seen) = true;
          return 0;
        },
        reinterpret_cast<LPARAM>(&present), 0);
    if (present) {
      found = face;
      break;
    }
  }
  ReleaseDC(nullptr, screen);
  return found;
}

HFONT BoldFont(const std::wstring& face, BYTE pitch, BYTE quality, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kPointsTimes100, dpi, 72 * 100);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = ANSI_CHARSET;
  font.lfQuality = quality;
  font.lfPitchAndFamily = pitch;
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

// The names screen readers read for the controls. Left to itself, Windows
// names a control after the static text just before it, which for the
// folder list is the path above it and for the log "Drives:"; so each
// control is given its label's name. The system's annotation service keeps
// the names; where it is missing or declines, the controls keep the names
// the system gives them, and the window works as before.
class ScreenReaderNames {
  // The control itself, as against its scroll bars or its items.
  static constexpr auto kWhole = static_cast<DWORD>(OBJID_CLIENT);
  // UI Automation's LiveSetting, which the annotation service passes on,
  // and its value Polite: speak a change once the reader is done talking.
  static constexpr GUID kLiveSetting = {
      0xC12BCD8E, 0x2A8E, 0x4950, {0x8A, 0xE7, 0x36, 0x25, 0x11, 0x1D, 0x58, 0xEB}};
  static constexpr LONG kPolite = 1;

 public:
  ScreenReaderNames() {
    // A thread already in the other kind of apartment keeps it; COM works
    // there too, and is not this object's to end.
    comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services_)))) {
      services_ = nullptr;
    }
  }
  ScreenReaderNames(const ScreenReaderNames&) = delete;
  ScreenReaderNames& operator=(const ScreenReaderNames&) = delete;
  // While the controls still exist: their names go with them.
  ~ScreenReaderNames() {
    if (services_ != nullptr) {
      const MSAAPROPID given[] = {PROPID_ACC_NAME, kLiveSetting};
      for (const HWND control : named_) {
        services_->ClearHwndProps(control, kWhole, CHILDID_SELF, given, 2);
      }
      services_->Release();
    }
    if (comStarted_) CoUninitialize();
  }

  void Name(HWND control, const std::wstring& name) {
    if (services_ == nullptr) return;
    services_->SetHwndPropStr(control, kWhole, CHILDID_SELF, PROPID_ACC_NAME, name.c_str());
    Keep(control);
  }

  // Makes `control` a live region: when the window says its text changed,
  // screen readers speak it, wherever the focus is.
  void MakeLive(HWND control) {
    if (services_ == nullptr) return;
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    services_->SetHwndProp(control, kWhole, CHILDID_SELF, kLiveSetting, polite);
    Keep(control);
  }

 private:
  bool comStarted_ = false;
  IAccPropServices* services_ = nullptr;
  std::vector<HWND> named_;

  void Keep(HWND control) {
    if (std::find(named_.begin(), named_.end(), control) == named_.end()) {
      named_.push_back(control);
    }
  }
};

// What the window holds for its lifetime: the screen model, and what was
// last drawn of it.
struct State {
  screen::ScreenModel model;
  int dpi = USER_DEFAULT_SCREEN_DPI;
  HBRUSH orange = CreateSolidBrush(kOrange);
  HFONT font = nullptr;
  HFONT logFont = nullptr;
  HWND tooltip = nullptr;
  HWND verdict = nullptr;  // what screen readers say when a run ends
  ScreenReaderNames names;
  std::wstring folderNamed;  // the whole path Label4's tooltip and name give
  unsigned filesDrawn = ~0u;
  unsigned foldersDrawn = ~0u;
  unsigned drivesDrawn = ~0u;
  unsigned logDrawn = ~0u;
  bool drawing = false;  // the view, not the user, is changing a control
  bool trackingPointer = false;
  std::optional<std::size_t> rowDoubleClicked;  // under the pointer; none below the rows

  State() = default;
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() {
    DeleteObject(orange);
    DeleteObject(font);
    DeleteObject(logFont);
  }
};

HWND Control(HWND window, std::string_view name) { return GetDlgItem(window, ControlId(name)); }

State* StateOf(HWND window) {
  return FromInteger<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The control's place in the window's client area: frames are drawn
// around their controls, not parents of them, so a control inside a frame
// is offset by the frames that hold it.
RECT PlaceInWindow(const screen::ControlPlace& control, int dpi) {
  const screen::PixelRect own = screen::ToPixels(control, dpi);
  RECT place{own.left, own.top, own.left + own.width, own.top + own.height};
  if (control.container != "frmConv") {
    const RECT frame = PlaceInWindow(*screen::FindControl(control.container), dpi);
    OffsetRect(&place, frame.left, frame.top);
  }
  return place;
}

// Makes a combo box's closed height the table's: the box's height is set
// through its selection field's, to which the system adds its edges (and
// Wine two pixels more than it reports), so the field is corrected until
// the box measures right.
void SetClosedHeight(HWND combo, int height) {
  auto field = SendMessageW(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0);
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT closed;
    GetWindowRect(combo, &closed);
    const int error = height - (closed.bottom - closed.top);
    if (error == 0) return;
    field += error;
    SendMessageW(combo, CB_SETITEMHEIGHT, WPARAM(-1), field);
  }
}

// The height of a line of text in `font`.
int LineHeight(HWND control, HFONT font) {
  const HDC dc = GetDC(control);
  const HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return metrics.tmHeight;
}

// Where the table's closed height is more than the font needs (32 pixels
// for a line of 19 at 144 DPI), a combo box's field takes the difference.
// The pattern box's edit field, which draws its line at its own top, goes
// to the middle of the field; the drive box draws its text there itself.
void CentreEditField(HWND combo, int lineHeight) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(combo, &info) || info.hwndItem == nullptr) return;
  const RECT field = info.rcItem;
  const int height = std::min<int>(field.bottom - field.top, lineHeight);
  SetWindowPos(info.hwndItem, nullptr, field.left,
               field.top + (field.bottom - field.top - height) / 2, field.right - field.left,
               height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Puts every control at its place and gives it its font for `dpi` dots per
// inch; on creation and again when the window moves to a screen of
// another scale.
void Lay(HWND window, State& state, int dpi) {
  state.dpi = dpi;
  const HFONT oldFont = state.font;
  const HFONT oldLogFont = state.logFont;
  // MS Sans Serif is a bitmap font, never smoothed; a face standing in for
  // it is drawn unsmoothed too. Smoothed at 11 pixels, Wine's stand-in
  // (Liberation Sans) has bold strokes as thin as its regular ones.
  state.font = BoldFont(InstalledFace({L"MS Sans Serif", L"Microsoft Sans Serif", L"Arial"}),
                        VARIABLE_PITCH | FF_SWISS, NONANTIALIASED_QUALITY, dpi);
  state.logFont = BoldFont(InstalledFace({L"Courier New", L"Liberation Mono", L"Courier"}),
                           FIXED_PITCH | FF_MODERN, DEFAULT_QUALITY, dpi);
  for (const screen::ControlPlace& control : screen::kControls) {
    const HWND child = Control(window, control.name);
    const RECT place = PlaceInWindow(control, dpi);
    const int height = place.bottom - place.top;
    const bool combo = control.name == "cboTipo" || control.name == "driveDTA";
    // A combo box's window height includes its open list: eight lines below.
    SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left,
                 combo ? height * 9 : height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, WM_SETFONT,
                 WPARAM(control.name == "lstResultado" ? state.logFont : state.font), TRUE);
    if (combo) {
      SetClosedHeight(child, height);
      const int line = LineHeight(child, state.font);
      CentreEditField(child, line);
      // The rows the drive box draws are as high as a list box's.
      SendMessageW(child, CB_SETITEMHEIGHT, 0, line);
    }
  }
  DeleteObject(oldFont);
  DeleteObject(oldLogFont);
}

void CreateControls(HWND window) {
  const auto instance = FromInteger<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  for (const screen::ControlPlace& control : screen::kControls) {
    const ControlKind kind = KindOf(control.name);
    // Each control that takes the focus starts a group of its own, so the
    // arrow keys never move the focus out of it.
    const DWORD group = IsOption(control.name) ? 0 : WS_GROUP;
    CreateWindowExW(kind.extendedStyle, kind.windowClass,
                    ravuvur::WideFromUtf8(control.text).c_str(),
                    WS_CHILD | WS_VISIBLE | group | kind.style, 0, 0, 0, 0, window,
                    FromInteger<HMENU>(ControlId(control.name)), instance, nullptr);
  }
  // The frames lie under everything inside them.
  for (const char* frame : {"Frame2", "Frame1"}) {
    SetWindowPos(Control(window, frame), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// Gives the window a client area of the table's size at `dpi`, keeping its
// top left corner at `corner`. The frame is measured rather than computed,
// as its size for the new scale shows only once the window has it.
void SizeWindow(HWND window, int dpi, POINT corner) {
  const int width = screen::ToPixels(screen::kClientWidth, dpi);
  const int height = screen::ToPixels(screen::kClientHeight, dpi);
  ShowScrollBar(window, SB_BOTH, FALSE);
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT outer;
    RECT client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    if (attempt > 0 && client.right == width && client.bottom == height) return;
    SetWindowPos(window, nullptr, corner.x, corner.y,
                 outer.right - outer.left + width - client.right,
                 outer.bottom - outer.top + height - client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// On a screen smaller than the window (1366 x 768 at 150 %, say), the
// window takes the screen's work area and scroll bars, so that every
// control can still be reached; the layout itself stays as it is.
void FitOnScreen(HWND window, int dpi) {
  const int width = screen::ToPixels(screen::kClientWidth, dpi);
  const int height = screen::ToPixels(screen::kClientHeight, dpi);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  RECT outer;
  RECT client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  // Windows keeps a window within the screen's size, whatever is asked.
  if (client.right >= width && client.bottom >= height &&
      outer.right - outer.left <= work.right - work.left &&
      outer.bottom - outer.top <= work.bottom - work.top) {
    return;
  }
  ShowScrollBar(window, SB_BOTH, TRUE);
  SetWindowPos(window, nullptr, work.left, work.top,
               std::min(outer.right - outer.left, work.right - work.left),
               std::min(outer.bottom - outer.top, work.bottom - work.top),
               SWP_NOZORDER | SWP_NOACTIVATE);
  GetClientRect(window, &client);
  // Each bar spans the whole window; its page is the part shown.
  const auto span = [window](int bar, int whole, LONG shown) {
    SCROLLINFO info{
        sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, whole - 1, static_cast<UINT>(shown), 0, 0};
    SetScrollInfo(window, bar, &info, TRUE);
  };
  span(SB_HORZ, width, client.right);
  span(SB_VERT, height, client.bottom);
}

// Moves the controls for a scroll bar's request.
void Scroll(HWND window, int bar, WORD request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(window, bar, &info);
  const int page = static_cast<int>(info.nPage);
  const int last = std::max(0, info.nMax - page + 1);
  int position = info.nPos;
  switch (request) {
    case SB_LINEUP: position -= 16; break;
    case SB_LINEDOWN: position += 16; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = last; break;
    default: return;
  }
  position = std::clamp(position, 0, last);
  if (position == info.nPos) return;
  SetScrollPos(window, bar, position, TRUE);
  const int moved = info.nPos - position;
  ScrollWindowEx(window, bar == SB_HORZ ? moved : 0, bar == SB_VERT ? moved : 0, nullptr, nullptr,
                 nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

// Labels, frames and option buttons show the orange behind them. Label1
// to Label5 draw in the window text colour, the rest in the control text
// colour. The labels draw no background: where a label overlaps the box
// below it by a pixel, the box's edge shows. Label4 is the exception, its
// text changes and must be painted over.
LRESULT ColourStatic(const State& state, HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  const bool windowText = id >= ControlId("Label1") && id <= ControlId("Label5");
  SetTextColor(dc, GetSysColor(windowText ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
  SetBkColor(dc, kOrange);
  const bool transparent = windowText && id != ControlId("Label4");
  if (transparent) SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(transparent ? GetStockObject(NULL_BRUSH) : state.orange);
}

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Sets a control's text only where it differs, so a box the user is
// typing into keeps its caret; true when it did.
bool ShowText(HWND control, const std::string& utf8) {
  const std::wstring text = ravuvur::WideFromUtf8(utf8);
  if (TextOf(control) == text) return false;
  SetWindowTextW(control, text.c_str());
  return true;
}

// A path too long for its box shows its end, where the file's name is:
// the caret goes after the last character, which scrolls it into sight.
void ShowEnd(HWND box) {
  const auto length = static_cast<WPARAM>(GetWindowTextLengthW(box));
  SendMessageW(box, EM_SETSEL, length, static_cast<LPARAM>(length));
  SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

// A drive as Windows shows it: its letter and colon in small letters,
// with the volume's label in brackets where it has one.
std::wstring DriveText(const screen::FolderEntry& drive) {
  const std::wstring& root = drive.name.native();
  if (root.size() != 3) return ravuvur::WideFromUtf8(drive.shown);
  std::wstring text = root.substr(0, 2);
  CharLowerW(text.data());
  wchar_t label[MAX_PATH + 1] = L"";
  if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                            0) &&
      label[0] != L'\0') {
    text += L" [" + std::wstring(label) + L"]";
  }
  return text;
}

// The height of a list box's rows, never 0.
long RowHeight(HWND list) {
  return std::max(1L, static_cast<long>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)));
}

// How many whole rows a list box shows, at least one.
std::size_t VisibleRows(HWND list) {
  RECT client;
  GetClientRect(list, &client);
  return static_cast<std::size_t>(std::max(1L, client.bottom / RowHeight(list)));
}

// The top line that brings `line` into sight with as little scrolling as
// possible.
void ScrollInto(HWND list, std::size_t line) {
  const std::size_t rows = VisibleRows(list);
  SendMessageW(list, LB_SETTOPINDEX, line >= rows ? line - rows + 1 : 0, 0);
}

void FillList(HWND list, UINT reset, UINT add, auto count, auto textOf) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, reset, 0, 0);
  for (std::size_t row = 0; row < count; ++row) {
    SendMessageW(list, add, 0, reinterpret_cast<LPARAM>(textOf(row).c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

// Draws what changed in the model since the last drawing.
void Draw(HWND window, State& state) {
  const screen::ScreenModel& model = state.model;
  state.drawing = true;
  ShowText(window, model.title());
  const HWND folderLabel = Control(window, "Label4");
  ShowText(folderLabel, model.folderText());
  // The tooltip and the name screen readers read both give the whole path.
  const std::wstring whole = ravuvur::WideFromUtf8(model.folderText());
  if (state.folderNamed != whole) {
    state.folderNamed = whole;
    TOOLINFOW tip{};
    tip.cbSize = sizeof tip;
    tip.hwnd = window;
    tip.uId = reinterpret_cast<UINT_PTR>(folderLabel);
    tip.lpszText = const_cast<wchar_t*>(whole.c_str());
    SendMessageW(state.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tip));
    state.names.Name(folderLabel, whole);
  }
  const HWND pathBox = Control(window, "txtConverte");
  if (ShowText(pathBox, model.pathText())) ShowEnd(pathBox);

  const HWND files = Control(window, "fileDTA");
  if (state.filesDrawn != model.filesVersion()) {
    state.filesDrawn = model.filesVersion();
    FillList(files, LB_RESETCONTENT, LB_ADDSTRING, model.fileCount(),
             [&](std::size_t row) { return ravuvur::WideFromUtf8(model.file(row).shown); });
  }
  const auto highlighted = model.highlightedFile();
  SendMessageW(files, LB_SETCURSEL, highlighted ? *highlighted : WPARAM(-1), 0);

  const HWND folders = Control(window, "dirDTA");
  if (state.foldersDrawn != model.foldersVersion()) {
    state.foldersDrawn = model.foldersVersion();
    const auto& lines = model.folderLines();
    FillList(folders, LB_RESETCONTENT, LB_ADDSTRING, lines.size(), [&](std::size_t row) {
      return std::wstring(static_cast<std::size_t>(lines[row].depth) * 2, L' ') +
             ravuvur::WideFromUtf8(lines[row].shown);
    });
  }
  SendMessageW(folders, LB_SETCURSEL, model.currentFolderLine(), 0);

  const HWND drives = Control(window, "driveDTA");
  if (state.drivesDrawn != model.drivesVersion()) {
    state.drivesDrawn = model.drivesVersion();
    FillList(drives, CB_RESETCONTENT, CB_ADDSTRING, model.drives().size(),
             [&](std::size_t row) { return DriveText(model.drives()[row]); });
  }
  SendMessageW(drives, CB_SETCURSEL, model.chosenDrive(), 0);

  const HWND patterns = Control(window, "cboTipo");
  if (SendMessageW(patterns, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(model.patterns().size())) {
    FillList(patterns, CB_RESETCONTENT, CB_ADDSTRING, model.patterns().size(),
             [&](std::size_t row) { return ravuvur::WideFromUtf8(model.patterns()[row]); });
  }
  ShowText(patterns, model.pattern());

  const HWND log = Control(window, "lstResultado");
  if (state.logDrawn != model.logVersion()) {
    state.logDrawn = model.logVersion();
    FillList(log, LB_RESETCONTENT, LB_ADDSTRING, model.log().size(), [&](std::size_t row) {
      return ravuvur::WideFromUtf8(screen::ReadableText(model.log().Line(row)));
    });
    // A clean run is shown from its first line; any other from far enough
    // down to show its first warning or error. Its verdict is spoken.
    ScrollInto(log, model.logLineToShow().value_or(0));
    ShowText(state.verdict, model.verdict());
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, state.verdict, OBJID_CLIENT, CHILDID_SELF);
  }
  state.drawing = false;
}

std::optional<std::size_t> ChosenRow(HWND list, UINT getSelection) {
  const LRESULT row = SendMessageW(list, getSelection, 0, 0);
  return row >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(row)) : std::nullopt;
}

// A control's own procedure, under the one the window gave it.
LRESULT OwnProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto own = static_cast<LONG_PTR>(GetClassLongPtrW(control, GCLP_WNDPROC));
  return CallWindowProcW(FromInteger<WNDPROC>(own), control, message, wParam, lParam);
}

// The file list tells the model where the pointer is, so its rows never
// move under a pointer resting on them, and moves the highlight with the
// model's keys.
LRESULT CALLBACK FileListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = GetParent(list);
  // The controls outlive the window's state while they are destroyed.
  State* const known = StateOf(window);
  if (known == nullptr) return OwnProcedure(list, message, wParam, lParam);
  State& state = *known;
  switch (message) {
    case WM_MOUSEMOVE:
      if (!state.trackingPointer) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, list, 0};
        state.trackingPointer = TrackMouseEvent(&track) != FALSE;
        state.model.PointerOverFiles(true);
      }
      [[fallthrough]];
    case WM_TIMER:  // how the list scrolls on while a drag is past its edge
      if (GetCapture() == list) {
        // A drag moves the highlight, which the list tells only when the
        // button comes up: the model follows it now, so that a drawing
        // meanwhile (the pointer leaving the list) keeps the row reached.
        const LRESULT result = OwnProcedure(list, message, wParam, lParam);
        const auto row = ChosenRow(list, LB_GETCURSEL);
        if (row != state.model.highlightedFile()) {
          state.model.HighlightFile(row);
          Draw(window, state);
        }
        return result;
      }
      break;
    case WM_LBUTTONDBLCLK: {
      // The row under the pointer, not the one highlighted: a double
      // click below the last row converts nothing.
      const auto top = static_cast<std::size_t>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
      const std::size_t row =
          top + static_cast<std::size_t>(std::max(0L, static_cast<long>(GET_Y_LPARAM(lParam))) /
                                         RowHeight(list));
      state.rowDoubleClicked.reset();
      if (row < state.model.fileCount()) state.rowDoubleClicked = row;
      break;
    }
    case WM_MOUSELEAVE:
      state.trackingPointer = false;
      state.model.PointerOverFiles(false);
      Draw(window, state);
      break;
    case WM_KEYDOWN: {
      static constexpr std::pair<WPARAM, screen::ListKey> kKeys[] = {
          {VK_UP, screen::ListKey::kUp},        {VK_DOWN, screen::ListKey::kDown},
          {VK_PRIOR, screen::ListKey::kPageUp}, {VK_NEXT, screen::ListKey::kPageDown},
          {VK_HOME, screen::ListKey::kHome},    {VK_END, screen::ListKey::kEnd}};
      for (const auto& [key, listKey] : kKeys) {
        if (wParam != key) continue;
        state.model.PressKey(listKey, VisibleRows(list));
        Draw(window, state);
        return 0;
      }
      break;
    }
    default: break;
  }
  return OwnProcedure(list, message, wParam, lParam);
}

// Paints what the centred edit field leaves of the pattern box's field.
LRESULT CALLBACK PatternBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = OwnProcedure(box, message, wParam, lParam);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (message != WM_PAINT || !GetComboBoxInfo(box, &info) || info.hwndItem == nullptr) {
    return result;
  }
  RECT edit;
  GetWindowRect(info.hwndItem, &edit);
  MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&edit), 2);
  const RECT above{info.rcItem.left, info.rcItem.top, info.rcItem.right, edit.top};
  const RECT below{info.rcItem.left, edit.bottom, info.rcItem.right, info.rcItem.bottom};
  const HDC dc = GetDC(box);
  FillRect(dc, &above, GetSysColorBrush(COLOR_WINDOW));
  FillRect(dc, &below, GetSysColorBrush(COLOR_WINDOW));
  ReleaseDC(box, dc);
  return result;
}

// The drive box's field and its list's rows, each with its text in the
// middle, as the pattern box's.
void DrawDrive(const DRAWITEMSTRUCT& item) {
  const bool chosen = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(chosen ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID != static_cast<UINT>(-1)) {
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(
                          0, SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0))) +
                          1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        std::max<LRESULT>(0, SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID,
                                          reinterpret_cast<LPARAM>(text.data())))));
    const bool greyed = (item.itemState & ODS_DISABLED) != 0;
    SetTextColor(item.hDC, GetSysColor(greyed   ? COLOR_GRAYTEXT
                                       : chosen ? COLOR_HIGHLIGHTTEXT
                                                : COLOR_WINDOWTEXT));
    SetBkMode(item.hDC, TRANSPARENT);
    RECT line = item.rcItem;
    line.left += 1;
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &line,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(item.hDC, &item.rcItem);
}

void Convert(HWND window, State& state) {
  state.model.Convert();
  Draw(window, state);
}

void OnCommand(HWND window, State& state, int id, HWND control, UINT notification) {
  if (state.drawing) return;
  screen::ScreenModel& model = state.model;
  const auto is = [id](std::string_view name) { return id == ControlId(name); };
  if (id == IDOK) {
    // Enter, whichever control has the focus: it presses Ok only where Ok
    // has the focus, and opens a folder in the folder list; elsewhere it
    // does nothing.
    const HWND focus = GetFocus();
    if (focus == Control(window, "cmdOK")) {
      Convert(window, state);
      return;
    }
    const auto line = ChosenRow(Control(window, "dirDTA"), LB_GETCURSEL);
    if (focus != Control(window, "dirDTA") || !line) return;
    model.OpenFolderLine(*line);
  } else if (is("cmdOK") && notification == BN_CLICKED) {
    Convert(window, state);
    return;
  } else if (is("fileDTA") && notification == LBN_SELCHANGE) {
    model.HighlightFile(ChosenRow(control, LB_GETCURSEL));
  } else if (is("fileDTA") && notification == LBN_DBLCLK) {
    const auto row = std::exchange(state.rowDoubleClicked, std::nullopt);
    if (row) model.DoubleClickFile(*row);
  } else if (is("dirDTA") && notification == LBN_DBLCLK) {
    const auto line = ChosenRow(control, LB_GETCURSEL);
    if (line) model.OpenFolderLine(*line);
  } else if (is("driveDTA") && notification == CBN_DROPDOWN) {
    model.RefreshDrives();
  } else if (is("driveDTA") && notification == CBN_SELCHANGE) {
    const auto drive = ChosenRow(control, CB_GETCURSEL);
    if (drive) model.ChooseDrive(*drive);
  } else if (is("cboTipo") && (notification == CBN_EDITCHANGE || notification == CBN_KILLFOCUS)) {
    // An entry chosen from the list counts when the box loses the focus.
    model.SetPattern(ravuvur::Utf8FromWide(TextOf(control)));
  } else if (is("txtConverte") && notification == EN_CHANGE) {
    model.EditPath(ravuvur::Utf8FromWide(TextOf(control)));
  } else if (is("Label6") && notification == STN_CLICKED) {
    const std::wstring about = ravuvur::WideFromUtf8(screen::ScreenModel::AboutText("\r\n"));
    MessageBoxW(window, about.c_str(),
                ravuvur::WideFromUtf8(screen::ScreenModel::kAboutCaption).c_str(), MB_OK);
  } else {
    return;
  }
  Draw(window, state);
}

void NameControls(HWND window, ScreenReaderNames& names) {
  static constexpr std::pair<std::string_view, const wchar_t*> kNames[] = {
      {"txtConverte", L"Nome do Arquivo"},
      {"fileDTA", L"Arquivos"},
      {"cboTipo", L"Lista arquivos do tipo"},
      {"dirDTA", L"Diretórios"},
      {"driveDTA", L"Drives"},
      {"lstResultado", L"Resultado da conversão"}};
  for (const auto& [control, name] : kNames) names.Name(Control(window, control), name);
  // The pattern box's edit field, which has the focus when the box has it,
  // is read as the box.
  COMBOBOXINFO patterns{};
  patterns.cbSize = sizeof patterns;
  if (GetComboBoxInfo(Control(window, "cboTipo"), &patterns)) {
    names.Name(patterns.hwndItem, L"Lista arquivos do tipo");
  }
}

// A static control of no size whose text, and so whose name, is the last
// run's verdict; a live region, which screen readers speak when it changes.
HWND MakeVerdictNotice(HWND window, ScreenReaderNames& names) {
  const HWND notice =
      CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0, window,
                      FromInteger<HMENU>(kVerdictId),
                      FromInteger<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)), nullptr);
  names.MakeLive(notice);
  return notice;
}

// Files dragged from Explorer onto the window: the model says what a drop
// means; the window only reads the names.
void DropFiles(HWND window, State& state, HDROP drop) {
  std::vector<screen::FsPath> items;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT item = 0; item < count; ++item) {
    std::wstring name(DragQueryFileW(drop, item, nullptr, 0), L'\0');
    DragQueryFileW(drop, item, name.data(), static_cast<UINT>(name.size() + 1));
    items.emplace_back(name);
  }
  DragFinish(drop);
  if (state.model.Drop(items)) Draw(window, state);
}

// A tooltip that shows Label4's whole path, which the label cuts short
// when it is too long.
HWND MakePathTip(HWND window) {
  const HWND tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                                       0, 0, window, nullptr, nullptr, nullptr);
  TOOLINFOW tip{};
  tip.cbSize = sizeof tip;
  tip.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tip.hwnd = window;
  tip.uId = reinterpret_cast<UINT_PTR>(Control(window, "Label4"));
  tip.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tip));
  SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 4096);
  return tooltip;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  State* state = StateOf(window);
  switch (message) {
    case WM_CREATE: {
      state = new State;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
      CreateControls(window);
      state->tooltip = MakePathTip(window);
      NameControls(window, state->names);
      state->verdict = MakeVerdictNotice(window, state->names);
      DragAcceptFiles(window, TRUE);
      SetWindowLongPtrW(Control(window, "fileDTA"), GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(FileListProcedure));
      SetWindowLongPtrW(Control(window, "cboTipo"), GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(PatternBoxProcedure));
      const int dpi = static_cast<int>(GetDpiForWindow(window));
      Lay(window, *state, dpi);
      RECT placed;
      GetWindowRect(window, &placed);
      SizeWindow(window, dpi, {placed.left, placed.top});
      FitOnScreen(window, dpi);
      state->model.Load();
      Draw(window, *state);
      SetFocus(Control(window, "txtConverte"));
      return 0;
    }
    case WM_DPICHANGED: {
      Lay(window, *state, LOWORD(wParam));
      const auto* suggested = FromInteger<const RECT*>(lParam);
      SizeWindow(window, state->dpi, {suggested->left, suggested->top});
      FitOnScreen(window, state->dpi);
      return 0;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      // The scroll bars' own requests; a control's come with its handle.
      if (lParam != 0) break;
      Scroll(window, message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        state->model.Activate();
        Draw(window, *state);
      }
      break;
    case WM_DROPFILES:
      DropFiles(window, *state, FromInteger<HDROP>(static_cast<LONG_PTR>(wParam)));
      return 0;
    case WM_DRAWITEM: DrawDrive(*FromInteger<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_CTLCOLORSTATIC:
      return ColourStatic(*state, FromInteger<HDC>(static_cast<LONG_PTR>(wParam)),
                          FromInteger<HWND>(lParam));
    case WM_COMMAND:
      OnCommand(window, *state, LOWORD(wParam), FromInteger<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      delete state;
      PostQuitMessage(0);
      return 0;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int ControlId(std::string_view name) {
  const screen::ControlPlace* control = screen::FindControl(name);
  return control != nullptr ? kFirstId + control->tab : 0;
}

HWND CreateFrmConv(HINSTANCE instance) {
  static const ATOM registered = [instance] {
    // The tooltip's class comes with the common controls.
    const INITCOMMONCONTROLSEX common{sizeof common, ICC_BAR_CLASSES};
    InitCommonControlsEx(&common);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ZIZADOD5));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZIZADOD5),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(kOrange);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass);
  }();
  if (registered == 0) return nullptr;
  // A fixed layout: the window can be moved and minimised, not resized.
  return CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"KOVA/DTA Conversor",
                         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                         nullptr);
}

// Enter and Escape reach the window as IDOK and IDCANCEL, which no control
// has: the Ok button is neither the default nor the cancel button.
bool HandleDialogKeys(HWND window, MSG& message) {
  return IsDialogMessageW(window, &message) != FALSE;
}

}  // namespace win32
