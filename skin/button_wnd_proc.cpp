// The skinned button's subclass: it shows the button only through its state
// images, follows mouse, space key, focus and enabling, and fades from one
// state to the next with a 15 ms timer.
#include <utility>

#include "skin_internal.h"

namespace skin {

namespace {
// Asks for one WM_MOUSELEAVE when the mouse leaves the button.
void TrackMouseLeave(HWND hwnd) {
  TRACKMOUSEEVENT request{};
  request.cbSize = sizeof(request);
  request.dwFlags = TME_LEAVE;
  request.hwndTrack = hwnd;
  TrackMouseEvent(&request);
}
}  // namespace

SkinnedButton* SkinnedButtonOf(HWND hwnd) {
  DWORD_PTR button = 0;
  if (!FindSkinSubclass(hwnd, ButtonSubclassProc, button)) return nullptr;
  return reinterpret_cast<SkinnedButton*>(button);
}

void SkinnedButton::StartFadeTimer() {
  if (fadeTimer_ == 0) fadeTimer_ = SetTimer(window_, kFadeTimerId, kFadeIntervalMs, nullptr);
}

void SkinnedButton::StopFadeTimer() {
  if (fadeTimer_ != 0) KillTimer(window_, std::exchange(fadeTimer_, 0));
}

// Each step blends the target over what is on screen, so the steps add up.
void SkinnedButton::RunFadeStep() {
  WindowBounds bounds{};
  GetWindowBounds(window_, bounds);
  {
    const win32::WindowDC screen = win32::BorrowWindowDC(window_);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha_), 0};
    AlphaBlend(screen.Get(), 0, 0, bounds.width, bounds.height, Image(shownState_), 0, 0, bounds.width, bounds.height,
               blend);
  }
  const FadeAdvance next = AdvanceFade(alpha_);
  if (next.finished) StopFadeTimer();
  alpha_ = next.nextAlpha;
}

// Sets the state the button is heading for and starts the fade to it; a
// fade already running carries on with the new values. A disabled button
// keeps its disabled image whatever the mouse and keys do.
void SkinnedButton::FadeTo(int state, int startAlpha) {
  if (!IsWindowEnabled(window_)) return;
  shownState_ = state;
  alpha_ = startAlpha;
  StartFadeTimer();
}

void SkinnedButton::CopyStateTo(HDC screen, int state) const {
  WindowBounds bounds{};
  GetWindowBounds(window_, bounds);
  BitBlt(screen, 0, 0, bounds.width, bounds.height, Image(state), 0, 0, SRCCOPY);
}

// The target image in full, even in the middle of a fade.
void SkinnedButton::Paint() {
  const win32::PaintDC dc = win32::BeginPainting(window_);
  CopyStateTo(dc.Get(), shownState_);
}

// Enabling and disabling show the new look at once, without a fade.
void SkinnedButton::ShowEnabled(bool enabled) {
  shownState_ = enabled ? kStateNormal : kStateDisabled;
  const win32::WindowDC screen = win32::BorrowWindowDC(window_);
  CopyStateTo(screen.Get(), shownState_);
}

// The caption, font, underline or button type changed: draw the images
// again and show the new look at once.
void SkinnedButton::Refresh() {
  RenderImages();
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// Over a disabled button nothing is tracked, so the first movement after
// enabling it enters hover.
void SkinnedButton::OnMouseMove() {
  if (!IsWindowEnabled(window_) || trackingLeave_) return;
  trackingLeave_ = true;
  TrackMouseLeave(window_);
  FadeTo(kStateHover, kHoverStartAlpha);
}

// Release, leave and key up all return to normal, not hover: the next
// mouse movement over the button enters hover again.
void SkinnedButton::OnRelease() {
  trackingLeave_ = false;
  FadeTo(kStateNormal, kReleaseStartAlpha);
}

void SkinnedButton::OnFocusChange() {
  RenderImages();  // adds or removes the focus rectangle
  alpha_ = 0;
  StartFadeTimer();
}

WPARAM SkinnedButton::KeepOwnerDrawn(WPARAM style) {
  const WPARAM type = style & BS_TYPEMASK;
  if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) return style;
  isDefault_ = type == BS_DEFPUSHBUTTON;
  return (style & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

// An owner-drawn button answers like no push button at all: the dialog
// manager would neither move the default to it nor press it on Enter.
LRESULT SkinnedButton::PushButtonDialogCode(LRESULT code) const {
  code &= ~static_cast<LRESULT>(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
  return code | DLGC_BUTTON | (isDefault_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

void SkinnedButton::AfterPassingOn(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_SIZE: Resize(); break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: OnFocusChange(); break;
    case WM_ENABLE: ShowEnabled(wParam != 0); break;
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
    case BM_SETSTYLE: Refresh(); break;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) FadeTo(kStatePressed, kKeyPressStartAlpha);
      break;
    case WM_KEYUP:
      if (wParam == VK_SPACE) OnRelease();
      break;
    case WM_MOUSEMOVE: OnMouseMove(); break;
    case WM_LBUTTONDOWN: FadeTo(kStatePressed, kMousePressStartAlpha); break;
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE: OnRelease(); break;
    default: break;
  }
}

// The button's own procedure, reached through DefSubclassProc, may run a
// whole click handler, which can take the skin off this button (and put a
// new one on): what follows it asks the window for its skin again.
LRESULT CALLBACK ButtonSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  SkinnedButton& button = *reinterpret_cast<SkinnedButton*>(data);
  switch (message) {
    case WM_DESTROY:
      // The skin comes off first; the button's own procedure still needs to
      // see its destruction.
      UnskinButton(hwnd);
      return DefSubclassProc(hwnd, message, wParam, lParam);
    case WM_PAINT: button.Paint(); return 0;
    case WM_TIMER: button.RunFadeStep(); return DefSubclassProc(hwnd, message, wParam, lParam);
    case WM_GETDLGCODE: {
      const LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
      const SkinnedButton* still = SkinnedButtonOf(hwnd);
      return still ? still->PushButtonDialogCode(code) : code;
    }
    case BM_SETSTYLE: wParam = button.KeepOwnerDrawn(wParam); break;
    default: break;
  }
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  if (SkinnedButton* still = SkinnedButtonOf(hwnd)) still->AfterPassingOn(message, wParam);
  return result;
}

}  // namespace skin
