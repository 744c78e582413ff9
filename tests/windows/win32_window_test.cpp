// The Windows window, driven the way standard controls are tested: by the
// messages a user's actions send, read back through the controls.
#include "window/win32/frm_conv.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/wide_text.h"
#include "screen/layout.h"
#include "screen/readable_text.h"
#include "tests/support/test_files.h"

namespace {

using ravuvur::Utf8FromWide;
using ravuvur::WideFromUtf8;
using ziz_test::TempDir;

std::wstring TextOf(HWND control) {
  wchar_t text[1024];
  return {text, static_cast<std::size_t>(GetWindowTextW(control, text, 1024))};
}

// frmConv opened in a folder of three movement files, shown and active.
class FrmConvTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"MOV0612.DAT", "MOV0712.DAT", "NOTES.CSV"}) {
      ziz_test::WriteFile(dir_ / name, ziz_test::MovementFile("00001", {ziz_test::Departure()}));
    }
    GetCurrentDirectoryW(MAX_PATH, startFolder_);
    SetCurrentDirectoryW(WideFromUtf8(dir_.path()).c_str());
    window_ = win32::CreateFrmConv(GetModuleHandleW(nullptr));
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    Pump();
  }
  void TearDown() override {
    DestroyWindow(window_);
    Pump();
    SetCurrentDirectoryW(startFolder_);
  }

  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }

  HWND Control(std::string_view name) const { return GetDlgItem(window_, win32::ControlId(name)); }

  // The control that has the focus, an editable combo box's own edit
  // field counting as the box.
  std::string Focused() const {
    HWND focus = GetFocus();
    while (focus != nullptr && GetParent(focus) != window_) focus = GetParent(focus);
    for (const screen::ControlPlace& control : screen::kControls) {
      if (Control(control.name) == focus) return std::string(control.name);
    }
    return "none";
  }

  // A key as the message loop gets it, for the window's dialog keys.
  bool Key(UINT message, WPARAM key, LPARAM flags = 0) {
    MSG msg{GetFocus(), message, key, flags, 0, {}};
    return win32::HandleDialogKeys(window_, msg);
  }

  void Notify(std::string_view name, UINT notification) {
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(win32::ControlId(name), notification),
                 reinterpret_cast<LPARAM>(Control(name)));
  }

  std::vector<std::string> Lines(std::string_view list) const {
    std::vector<std::string> lines;
    const auto count = SendMessageW(Control(list), LB_GETCOUNT, 0, 0);
    for (WPARAM row = 0; row < static_cast<WPARAM>(count); ++row) {
      wchar_t text[1024];
      SendMessageW(Control(list), LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
      lines.push_back(Utf8FromWide(text));
    }
    return lines;
  }

  // The row of the file list showing `name`.
  WPARAM RowOf(const std::string& name) const {
    const std::vector<std::string> files = Lines("fileDTA");
    return static_cast<WPARAM>(std::find(files.begin(), files.end(), name) - files.begin());
  }

  // Types `text` into the pattern box in place of what it holds.
  void TypePattern(std::wstring_view text) {
    const HWND field = GetWindow(Control("cboTipo"), GW_CHILD);  // the box's edit field
    SendMessageW(field, EM_SETSEL, 0, -1);
    for (const wchar_t typed : text) SendMessageW(field, WM_CHAR, typed, 1);
  }

  void ClickFile(const std::string& name) {
    SendMessageW(Control("fileDTA"), LB_SETCURSEL, RowOf(name), 0);
    Notify("fileDTA", LBN_SELCHANGE);
  }

  RECT PlaceOf(std::string_view name) const {
    RECT place;
    GetWindowRect(Control(name), &place);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
    return place;
  }

  // What Windows sends when the window moves to a screen of another scale.
  void MoveToScreenOf(int dpi) {
    RECT suggested{0, 0, 1200, 1000};
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
  }

  COMBOBOXINFO ComboInfo(std::string_view name) const {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(Control(name), &info);
    return info;
  }

  HFONT FontOf(std::string_view name) const {
    return reinterpret_cast<HFONT>(  // NOLINT(performance-no-int-to-ptr)
        SendMessageW(Control(name), WM_GETFONT, 0, 0));
  }

  SIZE ClientSize() const {
    RECT client;
    GetClientRect(window_, &client);
    return {client.right, client.bottom};
  }

  TempDir dir_;
  wchar_t startFolder_[MAX_PATH] = L"";
  HWND window_ = nullptr;
};

// Where the table puts `control` in the client area at `dpi`: each edge
// rounded to the nearest pixel, frames adding their own place.
RECT Expected(const screen::ControlPlace& control, int dpi) {
  int left = control.left;
  int top = control.top;
  for (const screen::ControlPlace* container = screen::FindControl(control.container);
       container != nullptr; container = screen::FindControl(container->container)) {
    left += container->left;
    top += container->top;
  }
  const auto pixels = [dpi](int twips) { return (twips * dpi + 720) / 1440; };
  return {pixels(left), pixels(top), pixels(left + control.width), pixels(top + control.height)};
}

TEST_F(FrmConvTest, PlacesEveryControlFromTheTableAt96And144Dpi) {
  EXPECT_EQ(ClientSize().cx, 757);
  EXPECT_EQ(ClientSize().cy, 560);
  const RECT ok = PlaceOf("cmdOK");  // inside Frame2, inside Frame1
  EXPECT_EQ(ok.left, 584);
  EXPECT_EQ(ok.top, 192);
  EXPECT_EQ(ok.right, 721);
  EXPECT_EQ(ok.bottom, 225);
  for (int dpi : {96, 144}) {
    if (dpi != 96) MoveToScreenOf(dpi);
    for (const screen::ControlPlace& control : screen::kControls) {
      const RECT expected = Expected(control, dpi);
      const RECT actual = PlaceOf(control.name);
      EXPECT_TRUE(EqualRect(&actual, &expected))
          << control.name << " at " << dpi << ": " << actual.left << "," << actual.top << " "
          << actual.right << "," << actual.bottom;
    }
  }
  EXPECT_EQ(ClientSize().cx, 1136);
  EXPECT_EQ(ClientSize().cy, 840);
}

// At 288 dots per inch the window (2271 x 1680) outgrows the test's screen.
TEST_F(FrmConvTest, OnAScreenTooSmallEveryControlCanBeScrolledTo) {
  RECT suggested{0, 0, 2400, 1800};
  SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(288, 288), reinterpret_cast<LPARAM>(&suggested));
  RECT outer;
  GetWindowRect(window_, &outer);
  EXPECT_LE(outer.bottom - outer.top, GetSystemMetrics(SM_CYSCREEN));
  SendMessageW(window_, WM_VSCROLL, SB_BOTTOM, 0);
  SendMessageW(window_, WM_HSCROLL, SB_BOTTOM, 0);
  const RECT label6 = PlaceOf("Label6");
  EXPECT_GE(label6.left, 0);
  EXPECT_LE(label6.right, ClientSize().cx);
  EXPECT_LE(label6.bottom, ClientSize().cy);
}

// The window's own scroll bar, on a screen too small for it: a line is 16
// pixels, a page what is shown, and it stays within the window.
TEST_F(FrmConvTest, TheWindowScrollsByLinesAndPagesWithinItself) {
  MoveToScreenOf(288);
  SCROLLINFO bar{};
  bar.cbSize = sizeof bar;
  bar.fMask = SIF_ALL;
  GetScrollInfo(window_, SB_VERT, &bar);
  const int page = static_cast<int>(bar.nPage);
  const int last = bar.nMax - page + 1;
  ASSERT_GT(last, 32);
  const RECT unscrolled = PlaceOf("Label1");
  const std::pair<WORD, int> steps[] = {
      {SB_LINEUP, 0},      {SB_LINEDOWN, 16}, {SB_LINEDOWN, 32},
      {SB_PAGEUP, 0},      {SB_BOTTOM, last}, {SB_LINEDOWN, last},
      {SB_PAGEDOWN, last}, {SB_TOP, 0},       {SB_PAGEDOWN, std::min(page, last)}};
  for (const auto& [request, position] : steps) {
    SendMessageW(window_, WM_VSCROLL, request, 0);
    EXPECT_EQ(GetScrollPos(window_, SB_VERT), position) << "request " << request;
  }
  SendMessageW(window_, WM_VSCROLL, SB_TOP, 0);
  const RECT back = PlaceOf("Label1");
  EXPECT_TRUE(EqualRect(&back, &unscrolled)) << "the controls are back in place";
}

TEST_F(FrmConvTest, BoldFontsOfEightPointTwoFiveTheLogFixedPitch) {
  for (const screen::ControlPlace& control : screen::kControls) {
    const HFONT font = FontOf(control.name);
    LOGFONTW chosen{};
    ASSERT_NE(GetObjectW(font, sizeof chosen, &chosen), 0) << control.name;
    EXPECT_EQ(chosen.lfHeight, -11) << control.name;
    EXPECT_EQ(chosen.lfWeight, FW_BOLD) << control.name;
    const HDC dc = GetDC(Control(control.name));
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(Control(control.name), dc);
    // The flag, despite its name, is set for fonts of variable pitch.
    const bool fixedPitch = (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
    EXPECT_EQ(fixedPitch, control.name == "lstResultado") << control.name;
  }
}

// A white 32-bit page the size of `area`, drawn on by `draw(dc)`, then
// read by `read(pixels, width)`.
template <class Draw, class Read>
auto OnPage(SIZE area, Draw draw, Read read) {
  BITMAPINFO format{};
  format.bmiHeader = {sizeof format.bmiHeader, area.cx, -area.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HDC dc = CreateCompatibleDC(nullptr);
  const HBITMAP page = CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(dc, page);
  PatBlt(dc, 0, 0, area.cx, area.cy, WHITENESS);
  draw(dc);
  GdiFlush();
  const auto pixels =
      std::span(static_cast<const std::uint32_t*>(bits),
                static_cast<std::size_t>(area.cx) * static_cast<std::size_t>(area.cy));
  auto result = read(pixels, static_cast<std::size_t>(area.cx));
  SelectObject(dc, old);
  DeleteObject(page);
  DeleteDC(dc);
  return result;
}

long Darkness(std::uint32_t pixel) { return 255 - static_cast<long>(pixel & 0xFFU); }

// How dark a line of text in `font` comes out, black on white: the sum of
// its pixels' darkness, 255 to a black pixel.
long InkOf(HFONT font) {
  return OnPage(
      {400, 40},
      [font](HDC dc) {
        SelectObject(dc, font);
        const std::wstring_view text = L"Nome do Arquivo: MOV0612.DAT";
        TextOutW(dc, 2, 2, text.data(), static_cast<int>(text.size()));
      },
      [](std::span<const std::uint32_t> pixels, std::size_t /*width*/) {
        long ink = 0;
        for (const std::uint32_t pixel : pixels) ink += Darkness(pixel);
        return ink;
      });
}

// The rows, from the top, of what `draw(dc)` draws on a page of `area`
// that hold a dark pixel.
template <class Draw>
std::vector<int> InkRowsDrawn(SIZE area, Draw draw) {
  return OnPage(area, draw, [](std::span<const std::uint32_t> pixels, std::size_t width) {
    std::vector<int> rows;
    for (std::size_t row = 0; row * width < pixels.size(); ++row) {
      const auto line = pixels.subspan(row * width, width);
      if (std::any_of(line.begin(), line.end(), [](auto pixel) { return Darkness(pixel) > 127; })) {
        rows.push_back(static_cast<int>(row));
      }
    }
    return rows;
  });
}

// A combo box's text stands in the middle of its field, where the closed
// height is taller than the font needs (at 144 DPI) as where it is not:
// the rows it inks on screen are those of its text centred in the field.
TEST_F(FrmConvTest, ComboBoxTextStandsInTheMiddleOfItsField) {
  for (int dpi : {96, 144}) {
    if (dpi != 96) MoveToScreenOf(dpi);
    UpdateWindow(window_);
    for (const char* name : {"cboTipo", "driveDTA"}) {
      const HWND box = Control(name);
      const RECT field = ComboInfo(name).rcItem;
      const SIZE size{field.right - field.left, field.bottom - field.top};
      const std::vector<int> shown = InkRowsDrawn(size, [&](HDC dc) {
        const HDC screen = GetDC(box);
        BitBlt(dc, 0, 0, size.cx, size.cy, screen, field.left, field.top, SRCCOPY);
        ReleaseDC(box, screen);
      });
      const std::wstring text = TextOf(box);
      const std::vector<int> centred = InkRowsDrawn(size, [&](HDC dc) {
        SelectObject(dc, FontOf(name));
        RECT whole{0, 0, size.cx, size.cy};
        DrawTextW(dc, text.c_str(), -1, &whole, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      });
      ASSERT_FALSE(shown.empty() || centred.empty()) << name << " at " << dpi;
      EXPECT_LE(std::abs(shown.front() - centred.front()), 1) << name << " at " << dpi;
      EXPECT_LE(std::abs(shown.back() - centred.back()), 1) << name << " at " << dpi;
    }
  }
}

// The arrow button stands as high as the box's inside, within its sunken
// edge, at both scales.
TEST_F(FrmConvTest, ComboBoxButtonsFillTheBoxesInside) {
  for (int dpi : {96, 144}) {
    if (dpi != 96) MoveToScreenOf(dpi);
    for (const char* name : {"cboTipo", "driveDTA"}) {
      const RECT button = ComboInfo(name).rcButton;
      RECT box;
      GetClientRect(Control(name), &box);
      EXPECT_EQ(button.top, 2) << name << " at " << dpi;
      EXPECT_EQ(button.bottom, box.bottom - 2) << name << " at " << dpi;
    }
  }
}

// The drive list's rows, which the window draws, are as high as the
// pattern list's, which the system draws, at both scales.
TEST_F(FrmConvTest, TheDriveListsRowsAreAsHighAsThePatternLists) {
  for (int dpi : {96, 144}) {
    if (dpi != 96) MoveToScreenOf(dpi);
    EXPECT_EQ(SendMessageW(Control("driveDTA"), CB_GETITEMHEIGHT, 0, 0),
              SendMessageW(Control("cboTipo"), CB_GETITEMHEIGHT, 0, 0))
        << dpi;
  }
}

// The open drive list shows the drive chosen highlighted, as the system's
// lists do.
TEST_F(FrmConvTest, TheOpenDriveListHighlightsTheDriveChosen) {
  const HWND drives = Control("driveDTA");
  const HWND rows = ComboInfo("driveDTA").hwndList;
  SendMessageW(drives, CB_SHOWDROPDOWN, TRUE, 0);
  RECT list;
  GetClientRect(rows, &list);
  const auto chosen = static_cast<int>(SendMessageW(drives, CB_GETCURSEL, 0, 0));
  const auto rowHeight = static_cast<int>(SendMessageW(drives, CB_GETITEMHEIGHT, 0, 0));
  const std::uint32_t shown = OnPage(
      {list.right, list.bottom},
      [&](HDC dc) { SendMessageW(rows, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT); },
      [&](std::span<const std::uint32_t> pixels, std::size_t width) {
        // Near the row's right end, clear of its text.
        return pixels[static_cast<std::size_t>(chosen * rowHeight + rowHeight / 2) * width + width -
                      3];
      });
  SendMessageW(drives, CB_SHOWDROPDOWN, FALSE, 0);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_EQ(shown & 0xFFFFFFU,
            (GetRValue(highlight) << 16U) | (GetGValue(highlight) << 8U) | GetBValue(highlight));
}

// Bold is seen, not only asked for: a line in the window's font and in the
// log's takes clearly more ink than in the same font at regular weight.
TEST_F(FrmConvTest, BoldTextComesOutBoldAt96And144Dpi) {
  for (int dpi : {96, 144}) {
    if (dpi != 96) MoveToScreenOf(dpi);
    for (const char* name : {"Label1", "lstResultado"}) {
      LOGFONTW regular{};
      GetObjectW(FontOf(name), sizeof regular, &regular);
      regular.lfWeight = FW_NORMAL;
      const HFONT thin = CreateFontIndirectW(&regular);
      const long bold = InkOf(FontOf(name));
      const long normal = InkOf(thin);
      DeleteObject(thin);
      EXPECT_GT(bold * 10, normal * 13)
          << name << " at " << dpi << ": " << bold << " vs " << normal;
    }
  }
}

// The marks that stand for a character that draws nothing, or for a byte
// that is not text, are glyphs of both fonts, not the boxes a font draws
// for characters it lacks.
TEST_F(FrmConvTest, TheMarksForInvisibleCharactersAreInBothFonts) {
  const std::wstring marks =
      WideFromUtf8(screen::ReadableText(std::string_view("\u200F\xE7\u2039")));
  for (const char* name : {"fileDTA", "lstResultado"}) {
    const HDC dc = GetDC(Control(name));
    const HGDIOBJ old = SelectObject(dc, FontOf(name));
    std::vector<WORD> glyphs(marks.size());
    GetGlyphIndicesW(dc, marks.c_str(), static_cast<int>(marks.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(Control(name), dc);
    for (std::size_t at = 0; at < marks.size(); ++at) {
      EXPECT_NE(glyphs[at], 0xFFFF) << name << ": U+" << std::hex << int{marks[at]};
    }
  }
}

// The styles that make the controls behave as they must, read back from
// the controls made.
TEST_F(FrmConvTest, ControlsCarryTheStylesTheirBehaviourNeeds) {
  struct Row {
    const char* name;
    LONG mask;
    LONG value;
    const char* why;
  };
  constexpr LONG kOption = WS_GROUP | WS_DISABLED | BS_TYPEMASK;
  constexpr LONG kComboKind = CBS_DROPDOWN | CBS_DROPDOWNLIST;
  const Row rows[] = {
      {"Label4", SS_ELLIPSISMASK, SS_PATHELLIPSIS, "a long path keeps its end"},
      {"Label4", SS_NOPREFIX | SS_NOTIFY, SS_NOPREFIX | SS_NOTIFY, "& as itself; the tooltip"},
      {"Label6", SS_NOTIFY, SS_NOTIFY, "its click opens the about box"},
      {"Option1", kOption, WS_GROUP | WS_DISABLED | BS_AUTORADIOBUTTON, "starts the group"},
      {"Option2", kOption, WS_DISABLED | BS_AUTORADIOBUTTON, "in Option1's group"},
      {"Option5", kOption, WS_DISABLED | BS_AUTORADIOBUTTON, "in Option1's group"},
      {"cmdOK", BS_TYPEMASK, BS_PUSHBUTTON, "not the default button"},
      {"txtConverte", ES_AUTOHSCROLL, ES_AUTOHSCROLL, "takes paths longer than itself"},
      {"lstResultado", LBS_SORT | WS_HSCROLL, 0, "lines as logged, cut at the edge"},
      {"cboTipo", kComboKind, CBS_DROPDOWN, "a pattern can be typed"},
      {"driveDTA", kComboKind, CBS_DROPDOWNLIST, "a drive is chosen, not typed"}};
  for (const Row& row : rows) {
    EXPECT_EQ(GetWindowLongW(Control(row.name), GWL_STYLE) & row.mask, row.value)
        << row.name << ": " << row.why;
  }
}

// The colours each label and option button is drawn in, with the two
// system text colours made to differ for the time of the test.
TEST_F(FrmConvTest, LabelsAndOptionsPaintAsTheyMust) {
  const int elements[] = {COLOR_WINDOWTEXT, COLOR_BTNTEXT};
  const COLORREF earlier[] = {GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNTEXT)};
  const COLORREF distinct[] = {RGB(1, 2, 3), RGB(4, 5, 6)};
  SetSysColors(2, elements, distinct);
  struct Row {
    const char* name;
    bool seeThrough;  // no background: the edge of the box below shows
    COLORREF text;
  };
  const Row rows[] = {{"Label1", true, distinct[0]},  {"Label3", true, distinct[0]},
                      {"Label4", false, distinct[0]}, {"Label5", true, distinct[0]},
                      {"Label6", false, distinct[1]}, {"Option1", false, distinct[1]},
                      {"Option5", false, distinct[1]}};
  const HDC dc = CreateCompatibleDC(nullptr);
  for (const Row& row : rows) {
    SetBkMode(dc, OPAQUE);
    const auto brush = reinterpret_cast<HBRUSH>(  // NOLINT(performance-no-int-to-ptr)
        SendMessageW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(Control(row.name))));
    LOGBRUSH painted{};
    GetObjectW(brush, sizeof painted, &painted);
    EXPECT_EQ(GetTextColor(dc), row.text) << row.name;
    if (row.seeThrough) {
      EXPECT_EQ(painted.lbStyle, static_cast<UINT>(BS_NULL)) << row.name;
      EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << row.name;
    } else {
      EXPECT_EQ(painted.lbColor, RGB(255, 128, 0)) << row.name;
      EXPECT_EQ(GetBkColor(dc), RGB(255, 128, 0)) << row.name;
    }
  }
  DeleteDC(dc);
  SetSysColors(2, elements, earlier);
}

TEST_F(FrmConvTest, TabVisitsTheSevenControlsAndPassesOverTheRest) {
  EXPECT_EQ(Focused(), "txtConverte");
  std::vector<std::string> visited;
  for (int press = 0; press < 7; ++press) {
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_TAB));
    visited.push_back(Focused());
  }
  EXPECT_EQ(visited, (std::vector<std::string>{"fileDTA", "cboTipo", "dirDTA", "lstResultado",
                                               "driveDTA", "cmdOK", "txtConverte"}));
}

TEST_F(FrmConvTest, ShiftTabRunsTheCycleBackwards) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  std::vector<std::string> visited;
  for (int press = 0; press < 2; ++press) {
    Key(WM_KEYDOWN, VK_TAB);
    visited.push_back(Focused());
  }
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(visited, (std::vector<std::string>{"cmdOK", "driveDTA"}));
}

TEST_F(FrmConvTest, StartsWithDatFilesAndTheFolderInLabel4) {
  EXPECT_EQ(Lines("fileDTA"), (std::vector<std::string>{"MOV0612.DAT", "MOV0712.DAT"}));
  EXPECT_EQ(TextOf(Control("cboTipo")), L"*.DAT");
  EXPECT_EQ(TextOf(window_), L"KOVA/DTA Conversor 0.9");
  EXPECT_EQ(Utf8FromWide(TextOf(Control("Label4"))), dir_.path());
}

// The folder list reads as a tree: each folder two spaces further in than
// the one that holds it, from the drive's root down to the folder shown.
TEST_F(FrmConvTest, TheFolderListIndentsEachLevelByTwoSpaces) {
  const std::vector<std::string> lines = Lines("dirDTA");
  ASSERT_GT(lines.size(), 1u);
  for (std::size_t depth = 0; depth < lines.size(); ++depth) {
    EXPECT_EQ(lines[depth].find_first_not_of(' '), 2 * depth) << lines[depth];
  }
}

// With no file highlighted, as at the start or after a new pattern, the
// list shows no row as chosen: Ok would convert what the box names.
TEST_F(FrmConvTest, NoRowShowsAsChosenWhileNoFileIsHighlighted) {
  ClickFile("MOV0712.DAT");
  TypePattern(L"*.*");
  EXPECT_EQ(SendMessageW(Control("fileDTA"), LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(FrmConvTest, AClickFillsThePathBoxAndOkConvertsThatFile) {
  ClickFile("MOV0712.DAT");
  EXPECT_EQ(Utf8FromWide(TextOf(Control("txtConverte"))), dir_.path() + "\\MOV0712.DAT");
  EXPECT_FALSE(ziz_test::Exists(dir_ / "MOV0712.CSV"));
  SendMessageW(Control("cmdOK"), BM_CLICK, 0, 0);
  EXPECT_TRUE(ziz_test::Exists(dir_ / "MOV0712.CSV"));
  EXPECT_FALSE(ziz_test::Exists(dir_ / "MOV0612.CSV"));
  EXPECT_FALSE(Lines("lstResultado").empty());
}

// A path longer than the box shows its end, the file's name, from each
// change the program makes on: a click, then a pattern that leaves the
// file unlisted, Tab and Alt+O.
TEST_F(FrmConvTest, ThePathBoxShowsTheEndOfALongPath) {
  const std::string name = "MOV0612_copia_com_um_nome_longo_que_nao_cabe_na_caixa_corte.DAT";
  ziz_test::WriteFile(dir_ / name, ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  Notify("dirDTA", LBN_DBLCLK);  // opens the folder shown again
  const HWND box = Control("txtConverte");
  const auto endShown = [box] {
    const auto length = static_cast<WPARAM>(GetWindowTextLengthW(box));
    const auto last = SendMessageW(box, EM_POSFROMCHAR, length - 1, 0);
    RECT inside;
    GetClientRect(box, &inside);
    return SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0) > 0 && GET_X_LPARAM(last) < inside.right;
  };
  ClickFile(name);
  EXPECT_TRUE(endShown()) << "after the click";
  SetFocus(GetWindow(Control("cboTipo"), GW_CHILD));
  TypePattern(L"*.CSV");
  Key(WM_KEYDOWN, VK_TAB);
  constexpr LPARAM kAltDown = 1 << 29;
  Key(WM_SYSCHAR, 'o', kAltDown);
  Pump();
  EXPECT_TRUE(endShown()) << "after Alt+O";
}

// In a list scrolled down, a double click converts the row under the
// pointer, counted from the top row shown.
TEST_F(FrmConvTest, ADoubleClickInAScrolledListConvertsTheRowUnderThePointer) {
  for (int file = 10; file < 40; ++file) {
    ziz_test::WriteFile(dir_ / ("MOV" + std::to_string(file) + ".DAT"),
                        ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  }
  Notify("dirDTA", LBN_DBLCLK);  // opens the folder shown again
  const HWND files = Control("fileDTA");
  SendMessageW(files, LB_SETTOPINDEX, 10, 0);
  const std::string aimed = Lines("fileDTA")[10];
  const auto rowHeight = static_cast<int>(SendMessageW(files, LB_GETITEMHEIGHT, 0, 0));
  const LPARAM topRow = MAKELPARAM(20, rowHeight / 2);
  SendMessageW(files, WM_LBUTTONDOWN, MK_LBUTTON, topRow);
  SendMessageW(files, WM_LBUTTONUP, 0, topRow);
  SendMessageW(files, WM_LBUTTONDBLCLK, MK_LBUTTON, topRow);
  SendMessageW(files, WM_LBUTTONUP, 0, topRow);
  EXPECT_TRUE(ziz_test::Exists(dir_ / (aimed.substr(0, aimed.size() - 3) + "CSV"))) << aimed;
}

TEST_F(FrmConvTest, ADoubleClickBelowTheRowsConvertsNothing) {
  ClickFile("MOV0612.DAT");
  RECT list;
  GetClientRect(Control("fileDTA"), &list);
  SendMessageW(Control("fileDTA"), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, list.bottom - 5));
  SendMessageW(Control("fileDTA"), WM_LBUTTONUP, 0, MAKELPARAM(5, list.bottom - 5));
  EXPECT_FALSE(ziz_test::Exists(dir_ / "MOV0612.CSV"));
}

// A drag from a row out of the list keeps the last row it reached, the
// system telling the list that the pointer left while the button is down.
TEST_F(FrmConvTest, ADragOutOfTheFileListKeepsTheLastRowReached) {
  const HWND files = Control("fileDTA");
  const auto rowHeight = static_cast<int>(SendMessageW(files, LB_GETITEMHEIGHT, 0, 0));
  const auto onRow = [rowHeight](int row) {
    return MAKELPARAM(20, row * rowHeight + rowHeight / 2);
  };
  SendMessageW(files, WM_LBUTTONDOWN, MK_LBUTTON, onRow(0));
  SendMessageW(files, WM_MOUSEMOVE, MK_LBUTTON, onRow(1));
  SendMessageW(files, WM_MOUSELEAVE, 0, 0);
  SendMessageW(files, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-40, rowHeight + rowHeight / 2));
  SendMessageW(files, WM_LBUTTONUP, 0, MAKELPARAM(-40, rowHeight + rowHeight / 2));
  EXPECT_EQ(SendMessageW(files, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Utf8FromWide(TextOf(Control("txtConverte"))), dir_.path() + "\\MOV0712.DAT");
}

// The keys move the highlight in a list of 40 files: a page is the rows
// shown but one, so the row last seen stays in sight.
TEST_F(FrmConvTest, ListKeysMoveTheHighlightByRowsAndPages) {
  for (int file = 10; file < 48; ++file) {
    ziz_test::WriteFile(dir_ / ("MOV" + std::to_string(file) + ".DAT"), "");
  }
  Notify("dirDTA", LBN_DBLCLK);  // opens the folder shown again
  const HWND files = Control("fileDTA");
  ASSERT_EQ(SendMessageW(files, LB_GETCOUNT, 0, 0), 40);
  RECT inside;
  GetClientRect(files, &inside);
  const auto page =
      static_cast<int>(inside.bottom / SendMessageW(files, LB_GETITEMHEIGHT, 0, 0)) - 1;
  SetFocus(files);
  struct Step {
    int from;
    WPARAM key;
    int to;
  };
  const Step steps[] = {{0, VK_NEXT, page}, {2 * page, VK_PRIOR, page},
                        {39, VK_NEXT, 39},  {1, VK_PRIOR, 0},
                        {5, VK_DOWN, 6},    {5, VK_UP, 4},
                        {0, VK_UP, 0},      {5, VK_END, 39},
                        {5, VK_HOME, 0}};
  for (const auto& [from, key, to] : steps) {
    SendMessageW(files, LB_SETCURSEL, static_cast<WPARAM>(from), 0);
    Notify("fileDTA", LBN_SELCHANGE);
    SendMessageW(files, WM_KEYDOWN, key, 0);
    EXPECT_EQ(SendMessageW(files, LB_GETCURSEL, 0, 0), to) << "key " << key << " on row " << from;
  }
}

// The rows never move under a pointer resting on the file list: a run's
// new CSV is listed once the pointer leaves.
class FrmConvPointerTest : public FrmConvTest {
 protected:
  void SetUp() override {
    FrmConvTest::SetUp();
    TypePattern(L"*.*");
    ClickFile("MOV0612.DAT");
    SendMessageW(Control("fileDTA"), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(Control("cmdOK"), BM_CLICK, 0, 0);
  }
  bool NewCsvListed() const {
    const std::vector<std::string> files = Lines("fileDTA");
    return std::find(files.begin(), files.end(), "MOV0612.CSV") != files.end();
  }
};

TEST_F(FrmConvPointerTest, TheRowsWaitWhileThePointerRestsOnTheList) {
  ASSERT_TRUE(ziz_test::Exists(dir_ / "MOV0612.CSV"));
  EXPECT_FALSE(NewCsvListed());
}

TEST_F(FrmConvPointerTest, TheNewCsvIsListedWhenThePointerLeaves) {
  SendMessageW(Control("fileDTA"), WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(NewCsvListed());
}

TEST_F(FrmConvTest, AltOPressesOkEnterInThePathBoxDoesNot) {
  ClickFile("MOV0612.DAT");
  SetFocus(Control("txtConverte"));
  Key(WM_KEYDOWN, VK_RETURN);
  Pump();
  EXPECT_FALSE(ziz_test::Exists(dir_ / "MOV0612.CSV"));
  constexpr LPARAM kAltDown = 1 << 29;
  EXPECT_TRUE(Key(WM_SYSCHAR, 'o', kAltDown));
  Pump();
  EXPECT_TRUE(ziz_test::Exists(dir_ / "MOV0612.CSV"));
}

TEST_F(FrmConvTest, EnterOnAFocusedOkPressesIt) {
  ClickFile("MOV0612.DAT");
  SetFocus(Control("cmdOK"));
  Key(WM_KEYDOWN, VK_RETURN);
  Pump();
  EXPECT_TRUE(ziz_test::Exists(dir_ / "MOV0612.CSV"));
}

TEST_F(FrmConvTest, EnterInTheFolderListOpensTheLineChosen) {
  SetFocus(Control("dirDTA"));
  SendMessageW(Control("dirDTA"), LB_SETCURSEL, 0, 0);  // the drive's root
  Key(WM_KEYDOWN, VK_RETURN);
  Pump();
  EXPECT_EQ(TextOf(Control("Label4")).size(), 3u);  // "C:\"
}

TEST_F(FrmConvTest, EnterElsewhereOpensNoFolder) {
  SendMessageW(Control("dirDTA"), LB_SETCURSEL, 0, 0);  // the drive's root, not opened
  for (const char* name : {"txtConverte", "fileDTA", "cboTipo", "lstResultado", "driveDTA"}) {
    SetFocus(Control(name));
    Key(WM_KEYDOWN, VK_RETURN);
    Pump();
    EXPECT_EQ(Utf8FromWide(TextOf(Control("Label4"))), dir_.path()) << "Enter in " << name;
  }
}

TEST_F(FrmConvTest, APatternTypedAppliesAsItIsTyped) {
  TypePattern(L"*.CSV");
  EXPECT_EQ(Lines("fileDTA"), (std::vector<std::string>{"NOTES.CSV"}));
}

TEST_F(FrmConvTest, APatternChosenFromTheListAppliesWhenTheBoxLosesTheFocus) {
  SendMessageW(Control("cboTipo"), CB_SETCURSEL, 0, 0);  // "*.*"
  Notify("cboTipo", CBN_SELCHANGE);
  EXPECT_EQ(Lines("fileDTA").size(), 2u);
  Notify("cboTipo", CBN_KILLFOCUS);
  EXPECT_EQ(Lines("fileDTA"),
            (std::vector<std::string>{"MOV0612.DAT", "MOV0712.DAT", "NOTES.CSV"}));
}

TEST_F(FrmConvTest, ALockedCsvShowsItsFailureInTheLog) {
  ClickFile("MOV0612.DAT");
  const HANDLE locked = CreateFileW(WideFromUtf8(dir_ / "MOV0612.CSV").c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_NEW, 0, nullptr);
  SendMessageW(Control("cmdOK"), BM_CLICK, 0, 0);
  CloseHandle(locked);
  const std::vector<std::string> log = Lines("lstResultado");
  const auto failure = std::find_if(log.begin(), log.end(), [](const std::string& line) {
    return line.find(" 023 ") != std::string::npos;
  });
  ASSERT_NE(failure, log.end());
  // Scrolled far enough to show it.
  RECT client;
  GetClientRect(Control("lstResultado"), &client);
  const auto top = SendMessageW(Control("lstResultado"), LB_GETTOPINDEX, 0, 0);
  const auto rowHeight = SendMessageW(Control("lstResultado"), LB_GETITEMHEIGHT, 0, 0);
  const auto row = failure - log.begin();
  EXPECT_GE(row, top);
  EXPECT_LT(row, top + client.bottom / rowHeight);
}

// Scrolled just far enough: the first error is the last whole row shown.
// The log is made two rows high, so that the error lies below them.
TEST_F(FrmConvTest, AFailedRunScrollsTheLogJustFarEnoughForItsFirstError) {
  const HWND log = Control("lstResultado");
  const auto rowHeight = static_cast<int>(SendMessageW(log, LB_GETITEMHEIGHT, 0, 0));
  RECT outer;
  RECT inner;
  GetWindowRect(log, &outer);
  GetClientRect(log, &inner);
  SetWindowPos(log, nullptr, 0, 0, outer.right - outer.left,
               outer.bottom - outer.top - inner.bottom + 2 * rowHeight, SWP_NOMOVE | SWP_NOZORDER);
  SetWindowTextW(Control("txtConverte"), L"MISSING.DAT");  // 021, then the closing lines
  SendMessageW(Control("cmdOK"), BM_CLICK, 0, 0);
  const std::vector<std::string> lines = Lines("lstResultado");
  const auto error = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find(" ERRO ") != std::string::npos;
  });
  ASSERT_GE(error - lines.begin(), 2);
  EXPECT_EQ(SendMessageW(log, LB_GETTOPINDEX, 0, 0), error - lines.begin() - 1);
}

TEST_F(FrmConvTest, AnotherDriveShowsItsFolderInLabel4AndTheLists) {
  const HWND drives = Control("driveDTA");
  const auto count = SendMessageW(drives, CB_GETCOUNT, 0, 0);
  WPARAM other = 0;
  wchar_t text[256] = L"";
  for (; other < static_cast<WPARAM>(count); ++other) {
    SendMessageW(drives, CB_GETLBTEXT, other, reinterpret_cast<LPARAM>(text));
    if (CharUpperW(text)[0] != static_cast<wchar_t>(dir_.path()[0])) break;
  }
  ASSERT_LT(other, static_cast<WPARAM>(count)) << "Wine gives drives C: and Z:";
  SendMessageW(drives, CB_SETCURSEL, other, 0);
  Notify("driveDTA", CBN_SELCHANGE);
  const std::wstring folder = TextOf(Control("Label4"));
  const std::wstring root = {text[0], L':', L'\\'};
  EXPECT_EQ(folder.substr(0, 3), root);
  EXPECT_EQ(Lines("dirDTA").front(), Utf8FromWide(folder.substr(0, 3)));
  EXPECT_EQ(SendMessageW(drives, CB_GETCURSEL, 0, 0), static_cast<LRESULT>(other));
}

// As Windows shows drives: a small letter and a colon, and the volume's
// label in brackets where it has one.
TEST_F(FrmConvTest, DrivesShowTheirLetterInSmall) {
  const HWND drives = Control("driveDTA");
  const auto count = SendMessageW(drives, CB_GETCOUNT, 0, 0);
  ASSERT_GT(count, 0);
  for (WPARAM row = 0; row < static_cast<WPARAM>(count); ++row) {
    wchar_t text[MAX_PATH + 8] = L"";
    SendMessageW(drives, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
    const std::wstring_view shown(text);
    EXPECT_TRUE(shown.size() >= 2 && shown[0] >= L'a' && shown[0] <= L'z' && shown[1] == L':' &&
                (shown.size() == 2 || shown.substr(2, 2) == L" ["))
        << Utf8FromWide(text);
  }
}

TEST_F(FrmConvTest, ANameBeyondLatinIsListedAndConvertedByItsOwnName) {
  ziz_test::WriteFile(dir_ / "移动.DAT", ziz_test::MovementFile("00001", {ziz_test::Departure()}));
  Notify("dirDTA", LBN_DBLCLK);  // opens the folder shown again
  ClickFile("移动.DAT");
  SendMessageW(Control("cmdOK"), BM_CLICK, 0, 0);
  EXPECT_TRUE(ziz_test::Exists(dir_ / "移动.CSV"));
}

// The label cuts a long path short; its tooltip shows the whole path.
TEST_F(FrmConvTest, Label4sTooltipHoldsTheWholePath) {
  HWND tooltip = nullptr;
  for (HWND candidate = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
       candidate != nullptr;
       candidate = FindWindowExW(nullptr, candidate, TOOLTIPS_CLASSW, nullptr)) {
    if (GetWindow(candidate, GW_OWNER) == window_) tooltip = candidate;
  }
  ASSERT_NE(tooltip, nullptr);
  wchar_t text[1024] = L"";
  TOOLINFOW tip{};
  tip.cbSize = sizeof tip;
  tip.hwnd = window_;
  tip.uId = reinterpret_cast<UINT_PTR>(Control("Label4"));
  tip.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tip));
  EXPECT_EQ(Utf8FromWide(text), dir_.path());
}

// The controls the window listens to still get messages while they are
// destroyed, after the window's own state has gone. An access fault there
// is one the system may swallow (Wine does), or end the program for.
TEST_F(FrmConvTest, ClosingTheWindowTouchesNothingItFreed) {
  static LONG faults = 0;
  const PVOID handler = AddVectoredExceptionHandler(1, [](EXCEPTION_POINTERS* exception) -> LONG {
    if (exception->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) ++faults;
    return EXCEPTION_CONTINUE_SEARCH;
  });
  DestroyWindow(window_);
  window_ = nullptr;
  RemoveVectoredExceptionHandler(handler);
  EXPECT_EQ(faults, 0);
}

TEST_F(FrmConvTest, TheAboutBoxThenTheTitleAgain) {
  SetWindowTextW(window_, L"");
  std::wstring aboutText;
  bool onlyOk = false;
  std::thread closer([&aboutText, &onlyOk] {
    for (int tick = 0; tick < 500; ++tick, Sleep(10)) {
      const HWND box = FindWindowW(L"#32770", L"ZIZADOD5");
      if (box == nullptr) continue;
      wchar_t text[256] = L"";
      GetDlgItemTextW(box, 0xFFFF, text, 256);  // the message box's text
      aboutText = text;
      onlyOk = GetDlgItem(box, IDCANCEL) == nullptr && GetDlgItem(box, IDNO) == nullptr;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return;
    }
  });
  // The label itself tells its click.
  SendMessageW(Control("Label6"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(Control("Label6"), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  closer.join();
  Pump();
  EXPECT_EQ(aboutText,
            L"KOVA/DTA Conversor\r\n\r\nDesenvolvido por\r\nsuporte@zizadod5.example.org");
  EXPECT_TRUE(onlyOk) << "one OK button";
  EXPECT_EQ(TextOf(window_), L"KOVA/DTA Conversor 0.9");
}

struct ShownRow {
  int records;            // of the forty announced
  std::string shownCode;  // the code of the line brought into sight; empty for the top
};

class FrmConvRunTest : public FrmConvTest, public ::testing::WithParamInterface<ShownRow> {};

// A run's first warning comes into sight as an error does; a clean run
// opens at the top. Forty records announced, fourteen there: a 027 AVISO
// well below the first lines.
TEST_P(FrmConvRunTest, ARunShowsItsFirstWarningOrItsTop) {
  ziz_test::WriteFile(
      dir_ / "RUN.DAT",
      ziz_test::MovementFile(
          "00040", std::vector<ziz_test::Record>(static_cast<std::size_t>(GetParam().records),
                                                 ziz_test::Departure())));
  SetWindowTextW(Control("txtConverte"), L"RUN.DAT");
  SendMessageW(Control("cmdOK"), BM_CLICK, 0, 0);
  const std::vector<std::string> log = Lines("lstResultado");
  const auto top =
      static_cast<std::size_t>(SendMessageW(Control("lstResultado"), LB_GETTOPINDEX, 0, 0));
  if (GetParam().shownCode.empty()) {
    EXPECT_EQ(top, 0u);
    return;
  }
  const auto shown = std::find_if(log.begin(), log.end(), [](const std::string& line) {
    return line.find(" " + GetParam().shownCode + " ") != std::string::npos;
  });
  ASSERT_NE(shown, log.end());
  RECT client;
  GetClientRect(Control("lstResultado"), &client);
  const auto rows = static_cast<std::size_t>(
      client.bottom / SendMessageW(Control("lstResultado"), LB_GETITEMHEIGHT, 0, 0));
  const auto row = static_cast<std::size_t>(shown - log.begin());
  EXPECT_GT(top, 0u);
  EXPECT_GE(row, top);
  EXPECT_LT(row, top + rows);
}

INSTANTIATE_TEST_SUITE_P(Runs, FrmConvRunTest,
                         ::testing::Values(ShownRow{14, "027"}, ShownRow{40, ""}));

// What a screen reader is told when a run ends: the live region's change,
// from a control named by the verdict; the focus stays where it was.
std::vector<std::wstring> liveChanges;

void CALLBACK HearLiveChange(HWINEVENTHOOK /*hook*/, DWORD /*event*/, HWND from, LONG object,
                             LONG child, DWORD /*thread*/, DWORD /*time*/) {
  if (object == OBJID_CLIENT && child == CHILDID_SELF) liveChanges.push_back(TextOf(from));
}

TEST_F(FrmConvTest, TheVerdictOfEachRunIsSpokenWithoutMovingTheFocus) {
  liveChanges.clear();
  const HWINEVENTHOOK hook =
      SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                      HearLiveChange, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  ClickFile("MOV0612.DAT");
  SetFocus(Control("fileDTA"));
  // Ok's notification alone: a click would give the button the focus.
  Notify("cmdOK", BN_CLICKED);
  Notify("cmdOK", BN_CLICKED);
  Pump();
  UnhookWinEvent(hook);
  EXPECT_EQ(liveChanges, (std::vector<std::wstring>(2, L"008 Fim de Conversão bem sucedido")));
  EXPECT_EQ(Focused(), "fileDTA");
}

// A real DROPFILES block, as Explorer hands it over: wide names, each
// ending in a zero, the list in two.
HGLOBAL DropOf(const std::vector<std::wstring>& names) {
  std::wstring list;
  for (const std::wstring& name : names) list += name + L'\0';
  list += L'\0';
  const HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(files + 1));
  GlobalUnlock(block);
  return block;
}

struct DropRow {
  std::vector<std::string> items;  // in the test's folder
  std::string folder;              // shown after: "in", or "" for the same
  std::string inTheBox;            // "" for nothing
};

class FrmConvDropTest : public FrmConvTest, public ::testing::WithParamInterface<DropRow> {};

TEST_P(FrmConvDropTest, ADropShowsOneFileOrOpensOneFolderAndConvertsNothing) {
  ziz_test::MakeFolder(dir_ / "in");
  ziz_test::WriteFile(dir_ / "in/IN.DAT", "x");
  std::vector<std::wstring> names;
  const auto inDir = [this](const std::string& name) { return dir_.path() + "\\" + name; };
  for (const std::string& item : GetParam().items) names.push_back(WideFromUtf8(inDir(item)));
  SendMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(names)), 0);
  const std::string folder = GetParam().folder.empty() ? dir_.path() : inDir(GetParam().folder);
  EXPECT_EQ(Utf8FromWide(TextOf(Control("Label4"))), folder);
  const std::string box = GetParam().inTheBox.empty() ? "" : inDir(GetParam().inTheBox);
  EXPECT_EQ(Utf8FromWide(TextOf(Control("txtConverte"))), box);
  const auto chosen = SendMessageW(Control("fileDTA"), LB_GETCURSEL, 0, 0);
  EXPECT_EQ(chosen, box.empty() ? LB_ERR : static_cast<LRESULT>(RowOf("IN.DAT")));
  EXPECT_TRUE(Lines("lstResultado").empty());
}

INSTANTIATE_TEST_SUITE_P(Drops, FrmConvDropTest,
                         ::testing::Values(DropRow{{"in\\IN.DAT"}, "in", "in\\IN.DAT"},
                                           DropRow{{"in"}, "in", ""},
                                           DropRow{{"in\\IN.DAT", "MOV0612.DAT"}, "", ""}));

// Stands in for the system's annotation service, which Wine has but does
// not implement: it keeps each control's name as the window gives it.
// COM objects end through Release(), never through a pointer to their
// interfaces, which have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class NameRecorder : public IAccPropServices, public IClassFactory {
 public:
  std::map<HWND, std::wstring> names;

  HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IAccPropServices) {
      *object = static_cast<IAccPropServices*>(this);
    } else if (iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG WINAPI AddRef() override { return 2; }  // lives as long as the test
  ULONG WINAPI Release() override { return 1; }
  HRESULT WINAPI CreateInstance(IUnknown* /*outer*/, REFIID iid, void** object) override {
    return QueryInterface(iid, object);
  }
  HRESULT WINAPI LockServer(BOOL /*lock*/) override { return S_OK; }

  HRESULT WINAPI SetHwndPropStr(HWND control, DWORD object, DWORD child, MSAAPROPID property,
                                LPCWSTR text) override {
    if (object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF ||
        property != PROPID_ACC_NAME) {
      return E_INVALIDARG;
    }
    names[control] = text;
    return S_OK;
  }
  HRESULT WINAPI ClearHwndProps(HWND control, DWORD /*object*/, DWORD /*child*/,
                                const MSAAPROPID* /*properties*/, int /*count*/) override {
    names.erase(control);
    return S_OK;
  }
  HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                               AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                   AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                    AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
    return E_NOTIMPL;
  }
};
#pragma GCC diagnostic pop

// frmConv with the names it gives screen readers recorded.
class FrmConvNamesTest : public FrmConvTest {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(&recorder_),
                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registration_);
    FrmConvTest::SetUp();
  }
  void TearDown() override {
    FrmConvTest::TearDown();
    CoRevokeClassObject(registration_);
    CoUninitialize();
  }

  std::string NameOf(HWND control) const {
    const auto named = recorder_.names.find(control);
    return named != recorder_.names.end() ? Utf8FromWide(named->second) : "(none)";
  }

  NameRecorder recorder_;
  DWORD registration_ = 0;
};

TEST_F(FrmConvNamesTest, EachControlIsNamedAfterItsLabel) {
  COMBOBOXINFO patterns{};
  patterns.cbSize = sizeof patterns;
  ASSERT_TRUE(GetComboBoxInfo(Control("cboTipo"), &patterns));
  const std::pair<HWND, std::string> expected[] = {
      {Control("txtConverte"), "Nome do Arquivo"},
      {Control("fileDTA"), "Arquivos"},
      {Control("cboTipo"), "Lista arquivos do tipo"},
      {patterns.hwndItem, "Lista arquivos do tipo"},
      {Control("dirDTA"), "Diretórios"},
      {Control("driveDTA"), "Drives"},
      {Control("lstResultado"), "Resultado da conversão"},
      {Control("Label4"), dir_.path()}};
  for (const auto& [control, name] : expected) EXPECT_EQ(NameOf(control), name);
}

TEST_F(FrmConvNamesTest, Label4IsNamedByTheFolderItShows) {
  SetFocus(Control("dirDTA"));
  SendMessageW(Control("dirDTA"), LB_SETCURSEL, 0, 0);  // the drive's root
  Key(WM_KEYDOWN, VK_RETURN);
  Pump();
  EXPECT_EQ(NameOf(Control("Label4")), dir_.path().substr(0, 3));
}

TEST_F(FrmConvNamesTest, TheNamesGoWithTheWindow) {
  const HWND folders = Control("dirDTA");
  DestroyWindow(window_);
  window_ = nullptr;
  EXPECT_EQ(NameOf(folders), "(none)");
}

}  // namespace
