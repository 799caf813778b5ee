#include "button_wnd_proc.h"

#include "button_rendering.h"
#include "button_setup.h"
#include "button_states.h"
#include "drawing_helpers.h"
#include "fade_step.h"
#include "fade_timer.h"
#include "gdi_handles.h"
#include "mouse_leave.h"
#include "window_props.h"

using skin_gdi::WindowDC;

namespace {
LRESULT PassOn(WNDPROC previous, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return CallWindowProcW(previous, hwnd, msg, wparam, lparam);
}

// Sets the state the button is heading for and (re)starts the fade to it;
// a fade already running carries on with the new values. A disabled button
// keeps its disabled image whatever the mouse and keys do.
void FadeTo(HWND hwnd, int state, int start_alpha) {
  if (!IsWindowEnabled(hwnd)) return;
  SetPropInt(hwnd, kPropOldState, state);
  SetPropInt(hwnd, kPropAlphaLevel, start_alpha);
  StartFadeTimer(hwnd);
}

void CopyStateToScreen(HWND hwnd, HDC screen, int state) {
  WindowBounds bounds{};
  GetWindowBounds(hwnd, bounds);
  BitBlt(screen, 0, 0, bounds.Width, bounds.Height, GetStateDC(hwnd, state), 0, 0, SRCCOPY);
}

void Paint(HWND hwnd) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  CopyStateToScreen(hwnd, dc, static_cast<int>(GetPropInt(hwnd, kPropOldState)));
  EndPaint(hwnd, &paint);
}

// Enabling shows the new look at once, without a fade.
void ShowEnabled(HWND hwnd, bool enabled) {
  const int state = enabled ? kStateNormal : kStateDisabled;
  SetPropInt(hwnd, kPropOldState, state);
  WindowDC screen(hwnd);
  CopyStateToScreen(hwnd, screen, state);
}

void OnMouseMove(HWND hwnd) {
  if (GetPropInt(hwnd, kPropMouseFlag) != 0) return;
  SetPropInt(hwnd, kPropMouseFlag, 1);
  TrackMouseLeave(hwnd);
  FadeTo(hwnd, kStateHover, kHoverStartAlpha);
}

// Release, leave and key up all return to normal, not hover: the next
// mouse movement over the button enters hover again.
void OnRelease(HWND hwnd) {
  SetPropInt(hwnd, kPropMouseFlag, 0);
  FadeTo(hwnd, kStateNormal, kReleaseStartAlpha);
}

// The caption, font, accelerator underline or button type changed: draw the
// images again and show the new look at once.
void Refresh(HWND hwnd) {
  RenderButtonStates(hwnd);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// The dialog manager moves the default between push buttons with
// BM_SETSTYLE. The button stays owner-drawn; the default is remembered.
WPARAM KeepOwnerDrawn(HWND hwnd, WPARAM style) {
  const WPARAM type = style & BS_TYPEMASK;
  if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) return style;
  SetPropInt(hwnd, kPropDefButton, type == BS_DEFPUSHBUTTON ? 1 : 0);
  return (style & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

// An owner-drawn button answers like no push button at all, so the dialog
// manager would neither move the default to it nor press it on Enter.
LRESULT PushButtonDialogCode(HWND hwnd, LRESULT code) {
  code &= ~static_cast<LRESULT>(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
  const bool isDefault = GetPropInt(hwnd, kPropDefButton) != 0;
  return code | DLGC_BUTTON | (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

void OnFocusChange(HWND hwnd) {
  RenderButtonStates(hwnd);  // adds or removes the focus rectangle
  SetPropInt(hwnd, kPropAlphaLevel, 0);
  StartFadeTimer(hwnd);
}

// Handling that follows the previous procedure's own. That procedure may
// run a whole click handler, which can take the skin off this button; then
// there is nothing left to update.
void AfterPassingOn(HWND hwnd, UINT msg, WPARAM wparam) {
  if (!IsAttached(hwnd)) return;
  switch (msg) {
    case WM_SIZE:
      ResizeStateImages(hwnd);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      OnFocusChange(hwnd);
      break;
    case WM_ENABLE:
      ShowEnabled(hwnd, wparam != 0);
      break;
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
    case BM_SETSTYLE:
      Refresh(hwnd);
      break;
    case WM_KEYDOWN:
      if (wparam == VK_SPACE) FadeTo(hwnd, kStatePressed, kKeyPressStartAlpha);
      break;
    case WM_KEYUP:
      if (wparam == VK_SPACE) OnRelease(hwnd);
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(hwnd);
      break;
    case WM_LBUTTONDOWN:
      FadeTo(hwnd, kStatePressed, kMousePressStartAlpha);
      break;
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE:
      OnRelease(hwnd);
      break;
    default:
      break;
  }
}
}  // namespace

LRESULT CALLBACK ButtonWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return 0;
  WNDPROC previous = GetPreviousProc(hWnd);
  // Being set up or taken down: never hand the message to a stale procedure.
  if (!previous) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  switch (uMsg) {
    case WM_DESTROY:
      // Take the skin off first; the button's own procedure still needs to
      // see its destruction.
      UnskinButton(hWnd);
      return PassOn(previous, hWnd, uMsg, wParam, lParam);
    case WM_PAINT:
      Paint(hWnd);
      return 0;
    case WM_TIMER: {
      RunFadeStep(hWnd);
      return PassOn(previous, hWnd, uMsg, wParam, lParam);
    }
    case WM_GETDLGCODE:
      return PushButtonDialogCode(hWnd, PassOn(previous, hWnd, uMsg, wParam, lParam));
    case BM_SETSTYLE: {
      const LRESULT result = PassOn(previous, hWnd, uMsg, KeepOwnerDrawn(hWnd, wParam), lParam);
      AfterPassingOn(hWnd, uMsg, wParam);
      return result;
    }
    default: {
      const LRESULT result = PassOn(previous, hWnd, uMsg, wParam, lParam);
      AfterPassingOn(hWnd, uMsg, wParam);
      return result;
    }
  }
}
