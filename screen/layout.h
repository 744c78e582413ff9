#pragma once

#include <array>
#include <string_view>

namespace screen {

// One control's place, in twips (1440 to the inch, 15 to a pixel at 96
// dots per inch), relative to its container: the window's client area for
// Frame1, the frame's outer rectangle for a control inside a frame.
struct ControlPlace {
  std::string_view name;
  std::string_view container;
  std::string_view text;  // UTF-8, at creation; empty where there is none
  int left;
  int top;
  int width;
  int height;
  int tab;
};

// The window's client area, in twips.
inline constexpr int kClientWidth = 11355;
inline constexpr int kClientHeight = 8400;
inline constexpr int kTwipsPerInch = 1440;

// Every control in tab order, which is also the order of creation: a later
// sibling is drawn over an earlier one, so each box or list covers the
// one-pixel overlap with the label above it.
// clang-format off
inline constexpr std::array kControls = {
    // name                       container  text at creation           left   top  width height tab
    ControlPlace{"Frame1",       "frmConv", "",                          120,  120, 11055, 8055,  0},
    ControlPlace{"Label1",       "Frame1",  "Nome do Arquivo:",          240,  360,  4095,  255,  1},
    ControlPlace{"txtConverte",  "Frame1",  "",                          240,  600,  4095,  285,  2},
    ControlPlace{"fileDTA",      "Frame1",  "",                          240, 1080,  4095, 2370,  3},
    ControlPlace{"Label2",       "Frame1",  "Lista arquivos do tipo:",   240, 3600,  4095,  255,  4},
    ControlPlace{"cboTipo",      "Frame1",  "",                          240, 3840,  4095,  315,  5},
    ControlPlace{"Label3",       "Frame1",  "Diretórios:",              4560,  360,  2055,  255,  6},
    ControlPlace{"Label4",       "Frame1",  "diretorio aqui",           4560,  600,  3855,  375,  7},
    ControlPlace{"dirDTA",       "Frame1",  "",                         4560, 1080,  3855, 2280,  8},
    ControlPlace{"Label5",       "Frame1",  "Drives:",                  4560, 3600,  3855,  255,  9},
    ControlPlace{"lstResultado", "Frame1",  "",                          240, 4440, 10575, 2970, 10},
    ControlPlace{"driveDTA",     "Frame1",  "",                         4560, 3840,  3855,  315, 11},
    ControlPlace{"Label6",       "Frame1",  "ZRKQ",                    10200, 7680,   615,  255, 12},
    ControlPlace{"Frame2",       "Frame1",  "",                         8520,  240,  2295, 3135, 13},
    ControlPlace{"cmdOK",        "Frame2",  "&Ok",                       120, 2520,  2055,  495, 14},
    ControlPlace{"Option1",      "Frame2",  "CSV",                       120,  240,  2055,  255, 15},
    ControlPlace{"Option2",      "Frame2",  "VARNO",                     120,  480,  2055,  255, 16},
    ControlPlace{"Option3",      "Frame2",  "TOTAL DIARIO",              120,  720,  2055,  255, 17},
    ControlPlace{"Option4",      "Frame2",  "MOV POR HORA",              120,  960,  2055,  255, 18},
    ControlPlace{"Option5",      "Frame2",  "VFR EM ROTA",               120, 1200,  2055,  255, 19},
};
// clang-format on

namespace layout_check {
constexpr bool WholePixels(int twips) { return twips % 15 == 0; }

// A figure that is not a whole pixel at 96 dots per inch, or a row out of
// tab order, is a typo.
constexpr bool TableIsSound() {
  int previousTab = -1;
  for (const ControlPlace& row : kControls) {
    if (!WholePixels(row.left) || !WholePixels(row.top) || !WholePixels(row.width) ||
        !WholePixels(row.height) || row.tab != previousTab + 1) {
      return false;
    }
    previousTab = row.tab;
  }
  return WholePixels(kClientWidth) && WholePixels(kClientHeight);
}
static_assert(TableIsSound());
}  // namespace layout_check

// The control called `name`, found while compiling: a misspelt name fails
// to compile.
consteval const ControlPlace& Control(std::string_view name) {
  for (const ControlPlace& control : kControls) {
    if (control.name == name) return control;
  }
  throw "no control of that name";
}

// The control called `name`; nullptr for a name that no control has.
const ControlPlace* FindControl(std::string_view name);

// Twips as pixels on a screen of `dpi` dots per inch, rounded to the
// nearest pixel: 15 twips make one pixel at 96.
constexpr int ToPixels(int twips, int dpi) {
  return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

struct PixelRect {
  int left;
  int top;
  int width;
  int height;
};

// A control's place in pixels. Right and bottom edges are rounded rather
// than sizes, so controls that touch in twips touch in pixels too.
PixelRect ToPixels(const ControlPlace& control, int dpi);

}  // namespace screen
