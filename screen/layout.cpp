#include "screen/layout.h"

namespace screen {

const ControlPlace* FindControl(std::string_view name) {
  for (const ControlPlace& control : kControls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

PixelRect ToPixels(const ControlPlace& control, int dpi) {
  const int left = ToPixels(control.left, dpi);
  const int top = ToPixels(control.top, dpi);
  return {left, top, ToPixels(control.left + control.width, dpi) - left,
          ToPixels(control.top + control.height, dpi) - top};
}

}  // namespace screen
