#pragma once

#include <windows.h>

#include <string_view>

namespace win32 {

// The window frmConv, built from the system's standard controls and placed
// from the screen model's table of controls. Each control's ID is
// ControlId() of its name, so tests and the window procedure find it with
// GetDlgItem.
HWND CreateFrmConv(HINSTANCE instance);

// The keyboard interface of a dialog box (Tab, Shift+Tab, Alt+O) for
// frmConv's controls; true when `message` was handled and must not be
// dispatched.
bool HandleDialogKeys(HWND window, MSG& message);

// The ID of the control called `name`; 0 for a name no control has.
int ControlId(std::string_view name);

}  // namespace win32
