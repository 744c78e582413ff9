#include <windows.h>

#include "window/win32/frm_conv.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPWSTR /*lpCmdLine*/,
                    int nShowCmd) {
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
