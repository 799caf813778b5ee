// The skinned button's procedure: it shows the button only through its state
// images, follows mouse, space key, focus and enabling, and fades from one
// state to the next with a 15 ms timer.
#include "skin_internal.h"

namespace skin {

namespace {
using TrackFunction = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);

// Looked up at run time: older systems lack it in User32, and linking it
// statically would stop the program from starting there.
TrackFunction ComctlTrackMouseEvent() {
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  if (!comctl) comctl = LoadLibraryW(L"comctl32.dll");  // kept loaded for later calls
  if (!comctl) return nullptr;
  return reinterpret_cast<TrackFunction>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "_TrackMouseEvent")));
}

// Asks for one WM_MOUSELEAVE when the mouse leaves the button.
void TrackMouseLeave(HWND hwnd) {
  TRACKMOUSEEVENT request{};
  request.cbSize = sizeof(request);
  request.dwFlags = TME_LEAVE;
  request.hwndTrack = hwnd;
  if (State().HasUser32TrackMouseEvent) {
    TrackMouseEvent(&request);
  } else if (TrackFunction track = ComctlTrackMouseEvent()) {
    track(&request);
  }
}

// Each step blends the target over what is on screen, so the steps add up.
void RunFadeStep(HWND hwnd) {
  WindowBounds bounds{};
  GetWindowBounds(hwnd, bounds);
  const int state = static_cast<int>(GetPropInt(hwnd, kPropOldState));
  const int alpha = static_cast<int>(GetPropInt(hwnd, kPropAlphaLevel));
  {
    const win32::WindowDC screen = win32::BorrowWindowDC(hwnd);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
    AlphaBlend(screen.Get(), 0, 0, bounds.Width, bounds.Height, StateImage(hwnd, state), 0, 0,
               bounds.Width, bounds.Height, blend);
  }
  const FadeAdvance next = AdvanceFade(alpha);
  if (next.finished) StopFadeTimer(hwnd);
  SetPropInt(hwnd, kPropAlphaLevel, next.nextAlpha);
}

// Sets the state the button is heading for and starts the fade to it; a
// fade already running carries on with the new values. A disabled button
// keeps its disabled image whatever the mouse and keys do.
void FadeTo(HWND hwnd, int state, int startAlpha) {
  if (!IsWindowEnabled(hwnd)) return;
  SetPropInt(hwnd, kPropOldState, state);
  SetPropInt(hwnd, kPropAlphaLevel, startAlpha);
  StartFadeTimer(hwnd);
}

void CopyStateTo(HWND hwnd, HDC screen, int state) {
  WindowBounds bounds{};
  GetWindowBounds(hwnd, bounds);
  BitBlt(screen, 0, 0, bounds.Width, bounds.Height, StateImage(hwnd, state), 0, 0, SRCCOPY);
}

// The target image in full, even in the middle of a fade.
void Paint(HWND hwnd) {
  const win32::PaintDC dc = win32::BeginPainting(hwnd);
  CopyStateTo(hwnd, dc.Get(), static_cast<int>(GetPropInt(hwnd, kPropOldState)));
}

// Enabling and disabling show the new look at once, without a fade.
void ShowEnabled(HWND hwnd, bool enabled) {
  const int state = enabled ? kStateNormal : kStateDisabled;
  SetPropInt(hwnd, kPropOldState, state);
  const win32::WindowDC screen = win32::BorrowWindowDC(hwnd);
  CopyStateTo(hwnd, screen.Get(), state);
}

// The caption, font, underline or button type changed: draw the images
// again and show the new look at once.
void Refresh(HWND hwnd) {
  RenderButtonStates(hwnd);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// Over a disabled button nothing is tracked, so the first movement after
// enabling it enters hover.
void OnMouseMove(HWND hwnd) {
  if (!IsWindowEnabled(hwnd) || GetPropInt(hwnd, kPropMouseFlag) != 0) return;
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

void OnFocusChange(HWND hwnd) {
  RenderButtonStates(hwnd);  // adds or removes the focus rectangle
  SetPropInt(hwnd, kPropAlphaLevel, 0);
  StartFadeTimer(hwnd);
}

// The dialog manager moves the default between push buttons with
// BM_SETSTYLE. The button stays owner-drawn and remembers the default.
WPARAM KeepOwnerDrawn(HWND hwnd, WPARAM style) {
  const WPARAM type = style & BS_TYPEMASK;
  if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) return style;
  SetPropInt(hwnd, kPropDefButton, type == BS_DEFPUSHBUTTON ? 1 : 0);
  return (style & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

// An owner-drawn button answers like no push button at all: the dialog
// manager would neither move the default to it nor press it on Enter.
LRESULT PushButtonDialogCode(HWND hwnd, LRESULT code) {
  code &= ~static_cast<LRESULT>(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
  const bool isDefault = GetPropInt(hwnd, kPropDefButton) != 0;
  return code | DLGC_BUTTON | (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

// Handling that follows the previous procedure's own. That procedure may run
// a whole click handler, which can take the skin off this button; then there
// is nothing left to update.
void AfterPassingOn(HWND hwnd, UINT message, WPARAM wParam) {
  if (!PreviousProc(hwnd)) return;
  switch (message) {
    case WM_SIZE:
      ResizeStateImages(hwnd);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      OnFocusChange(hwnd);
      break;
    case WM_ENABLE:
      ShowEnabled(hwnd, wParam != 0);
      break;
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
    case BM_SETSTYLE:
      Refresh(hwnd);
      break;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) FadeTo(hwnd, kStatePressed, kKeyPressStartAlpha);
      break;
    case WM_KEYUP:
      if (wParam == VK_SPACE) OnRelease(hwnd);
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

LRESULT HandleButtonMessage(WNDPROC previous, HWND hwnd, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      // The skin comes off first; the button's own procedure still needs to
      // see its destruction.
      UnskinButton(hwnd);
      return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    case WM_PAINT:
      Paint(hwnd);
      return 0;
    case WM_TIMER:
      RunFadeStep(hwnd);
      return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    case WM_GETDLGCODE:
      return PushButtonDialogCode(hwnd, CallWindowProcW(previous, hwnd, message, wParam, lParam));
    case BM_SETSTYLE:
      wParam = KeepOwnerDrawn(hwnd, wParam);
      break;
    default:
      break;
  }
  const LRESULT result = CallWindowProcW(previous, hwnd, message, wParam, lParam);
  AfterPassingOn(hwnd, message, wParam);
  return result;
}
}  // namespace

LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return RunHooked(HandleButtonMessage, hwnd, message, wParam, lParam);
}

UINT_PTR StartFadeTimer(HWND hwnd) {
  if (GetPropInt(hwnd, kPropTimerId) != 0) return 0;
  const UINT_PTR id = SetTimer(hwnd, kFadeTimerId, kFadeIntervalMs, nullptr);
  SetPropInt(hwnd, kPropTimerId, static_cast<std::intptr_t>(id));
  return id;
}

BOOL StopFadeTimer(HWND hwnd) {
  const std::intptr_t id = GetPropInt(hwnd, kPropTimerId);
  if (id == 0) return FALSE;
  SetPropInt(hwnd, kPropTimerId, 0);
  return KillTimer(hwnd, static_cast<UINT_PTR>(id));
}

}  // namespace skin
