#include "skin_attach.h"

#include "button_setup.h"
#include "host_hooks.h"
#include "skin_state.h"
#include "skin_template.h"
#include "window_class.h"
#include "window_roles.h"

namespace {
void InitializeSkin() {
  SkinInitialized = true;
  HasUser32TrackMouseEvent = IsFunctionExported("TrackMouseEvent", L"User32");
  BuildSkinTemplate();
}

WindowRole RoleOf(HWND hwnd) { return RoleOfClass(GetWindowClass(hwnd)); }

// Only push buttons take the skin: check boxes, radio buttons and group
// boxes are windows of the same class whose look and behaviour an
// owner-drawn skin would take away.
bool IsPushButton(HWND hwnd) {
  const LONG_PTR type = GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}
}  // namespace

int SkinWindow(HWND hWnd) {
  // Even a window we then ignore brings the template up.
  if (!SkinInitialized) InitializeSkin();
  switch (RoleOf(hWnd)) {
    case WindowRole::Button:
      return IsPushButton(hWnd) ? SkinButton(hWnd) : 0;
    case WindowRole::Host:
      // Descendants first (buttons inside frames too), then the host itself.
      EnumChildWindows(hWnd, SkinChildProc, 0);
      return HookHostWindow(hWnd);
    case WindowRole::Other:
      break;
  }
  return 0;
}

int UnskinWindow(HWND hWnd) {
  switch (RoleOf(hWnd)) {
    case WindowRole::Button:
      return UnskinButton(hWnd);
    case WindowRole::Host:
      EnumChildWindows(hWnd, UnskinChildProc, 0);
      return UnhookHostWindow(hWnd);
    case WindowRole::Other:
      break;
  }
  return 0;
}

BOOL CALLBACK SkinChildProc(HWND hWnd, LPARAM) {
  if (RoleOf(hWnd) == WindowRole::Button) {
    if (IsPushButton(hWnd)) SkinButton(hWnd);
  } else {
    HookChildBorder(hWnd);
  }
  return TRUE;
}

BOOL CALLBACK UnskinChildProc(HWND hWnd, LPARAM) {
  if (RoleOf(hWnd) == WindowRole::Button) {
    UnskinButton(hWnd);
  } else {
    UnhookChildBorder(hWnd);
  }
  return TRUE;
}
