#include "message_loop.h"

namespace {

bool IsEscapeIn(HWND mainWindow, const MSG& message) {
  return message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE &&
         (message.hwnd == mainWindow || IsChild(mainWindow, message.hwnd));
}

void Deliver(HWND mainWindow, HACCEL shortcuts, MSG& message) {
  // Esc anywhere in the window, as a dialog's Cancel: the multi-line field
  // list would keep it for itself, and a disabled Begin would lose it.
  if (IsWindow(mainWindow) && IsEscapeIn(mainWindow, message)) {
    SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  if (shortcuts != nullptr && IsWindow(mainWindow) && TranslateAcceleratorW(mainWindow, shortcuts, &message)) return;
  if (IsWindow(mainWindow) && IsDialogMessageW(mainWindow, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

int RunMessageLoop(HWND mainWindow, HACCEL shortcuts) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Deliver(mainWindow, shortcuts, message);
  return static_cast<int>(message.wParam);
}

bool PumpPendingMessages(HWND mainWindow, HACCEL shortcuts) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    Deliver(mainWindow, shortcuts, message);
  }
  return true;
}
