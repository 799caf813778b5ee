#include "message_loop.h"

namespace {

void Deliver(HWND mainWindow, HACCEL shortcuts, MSG& message) {
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
