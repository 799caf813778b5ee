#include "dialog_frame.h"

#include <algorithm>
#include <cstring>

std::vector<WORD> DialogTemplate(DWORD style, const wchar_t* title) {
  DLGTEMPLATE header = {};
  header.style = style;
  std::vector<WORD> words(sizeof header / sizeof(WORD));
  std::memcpy(words.data(), &header, sizeof header);
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  for (const wchar_t* c = title; *c != L'\0'; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
  return words;
}

POINT CentredOn(HWND owner, SIZE outer) {
  RECT around = {};
  GetWindowRect(owner, &around);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  const int left = (around.left + around.right - outer.cx) / 2;
  const int top = (around.top + around.bottom - outer.cy) / 2;
  return {std::max<int>(work.left, std::min<int>(left, work.right - outer.cx)),
          std::max<int>(work.top, std::min<int>(top, work.bottom - outer.cy))};
}

void Place(HWND control, const RECT& rect) {
  SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR ModalDialog::Run(HWND owner, DWORD style, const wchar_t* title) {
  const std::vector<WORD> dialogTemplate = DialogTemplate(style, title);
  const INT_PTR shown =
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                              owner, Procedure, reinterpret_cast<LPARAM>(this));
  dialog_ = nullptr;
  return shown;
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<ModalDialog*>(lParam)->dialog_ = dialog;
  }
  auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    self->Broken();
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
}
