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
}  // namespace

int SkinWindow(HWND hWnd) {
  // Even a window we then ignore brings the template up.
  if (!SkinInitialized) InitializeSkin();
  switch (RoleOf(hWnd)) {
    case WindowRole::Button:
      return SkinButton(hWnd);
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
    SkinButton(hWnd);
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
