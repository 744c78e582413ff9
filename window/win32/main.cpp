#include <windows.h>

#include "window/win32/frm_conv.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPWSTR /*lpCmdLine*/,
                    int nShowCmd) {
  // A drive without a medium reads as one that cannot be read, with no
  // box asking for a disk.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const HWND window = win32::CreateFrmConv(hInstance);
  if (window == nullptr) return 1;
  ShowWindow(window, nShowCmd);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (win32::HandleDialogKeys(window, message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
