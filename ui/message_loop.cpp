#include "message_loop.h"

namespace {

void Deliver(HWND mainWindow, MSG& message) {
  if (IsWindow(mainWindow) && IsDialogMessageW(mainWindow, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

int RunMessageLoop(HWND mainWindow) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Deliver(mainWindow, message);
  return static_cast<int>(message.wParam);
}

bool PumpPendingMessages(HWND mainWindow) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    Deliver(mainWindow, message);
  }
  return true;
}
