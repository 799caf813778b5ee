#include "message_loop.h"

namespace {

void Deliver(Form1& form, MSG& message) {
  if (form.PreTranslateMessage(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

int RunMessageLoop(Form1& form) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Deliver(form, message);
  return static_cast<int>(message.wParam);
}

bool PumpPendingMessages(Form1& form) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    Deliver(form, message);
  }
  return true;
}
