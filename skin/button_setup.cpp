#include "button_setup.h"

#include "button_rendering.h"
#include "button_states.h"
#include "button_wnd_proc.h"
#include "drawing_helpers.h"
#include "fade_timer.h"
#include "gdi_handles.h"
#include "skin_state.h"
#include "skin_template.h"
#include "window_props.h"

using skin_gdi::WindowDC;

namespace {

// Puts a new bitmap of width x height into the state image and deletes the
// one it replaces (the DC's stock bitmap at set-up, a stale size later).
void GiveStateBitmap(HWND hwnd, int state, HDC reference, int width, int height) {
  HDC image = GetStateDC(hwnd, state);
  // Compatible with the window DC, not the memory DC, to get the screen's format.
  HBITMAP bitmap = CreateCompatibleBitmap(reference, width, height);
  HGDIOBJ previous = SelectObject(image, bitmap);
  if (previous) DeleteObject(previous);
  SetPropInt(hwnd, StateBitmapPropName(state).c_str(), reinterpret_cast<std::intptr_t>(bitmap));
}

void CreateStateImages(HWND hwnd, int width, int height) {
  WindowDC reference(hwnd);
  for (int state = 0; state < kStateCount; ++state) {
    HDC image = CreateCompatibleDC(reference);
    SetPropInt(hwnd, StateDCPropName(state).c_str(), reinterpret_cast<std::intptr_t>(image));
    GiveStateBitmap(hwnd, state, reference, width, height);
  }
  RenderButtonStates(hwnd);
}

void DeleteStateImages(HWND hwnd) {
  for (int state = 0; state < kStateCount; ++state) {
    const std::wstring dc_name = StateDCPropName(state);
    const std::wstring bitmap_name = StateBitmapPropName(state);
    HDC image = GetStateDC(hwnd, state);
    HBITMAP bitmap = GetStateBitmap(hwnd, state);
    if (image) DeleteDC(image);
    if (bitmap) DeleteObject(bitmap);
    RemovePropInt(hwnd, dc_name.c_str());
    RemovePropInt(hwnd, bitmap_name.c_str());
  }
}
}  // namespace

void SetRoundRegion(HWND hWnd, int width, int height) {
  // The window owns the region once it is set.
  SetWindowRgn(hWnd, CreateRoundRectRgn(0, 0, width + 1, height + 1, 3, 3), TRUE);
}

int SkinButton(HWND hWnd) {
  if (IsAttached(hWnd)) return 0;
  WindowBounds bounds{};
  GetWindowBounds(hWnd, bounds);
  const bool isDefault = (GetWindowLongPtrW(hWnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  SetPropInt(hWnd, kPropDefButton, isDefault ? 1 : 0);
  CreateStateImages(hWnd, bounds.Width, bounds.Height);
  // Owner-drawn, so the button's own painting no longer covers the skin.
  SendMessageW(hWnd, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
  SetPropInt(hWnd, kPropMouseFlag, 0);
  SetPropInt(hWnd, kPropTimerId, 0);
  SetPropInt(hWnd, kPropOldState, IsWindowEnabled(hWnd) ? kStateNormal : kStateDisabled);
  SetPropInt(hWnd, kPropAlphaLevel, 0);
  SetRoundRegion(hWnd, bounds.Width, bounds.Height);
  ReplaceWindowProc(hWnd, ButtonWndProc);
  ++SkinnedButtonCount;
  return 1;
}

int UnskinButton(HWND hWnd) {
  WNDPROC previous = GetPreviousProc(hWnd);
  if (!previous) return 0;
  DeleteStateImages(hWnd);
  StopFadeTimer(hWnd);
  RemovePropInt(hWnd, kPropMouseFlag);
  RemovePropInt(hWnd, kPropTimerId);
  RemovePropInt(hWnd, kPropOldState);
  RemovePropInt(hWnd, kPropAlphaLevel);
  // Back to the push button type the dialog manager last gave it.
  const LONG_PTR type = GetPropInt(hWnd, kPropDefButton) != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  RemovePropInt(hWnd, kPropDefButton);
  // "PROCADDR" goes before the style change, whose messages then reach
  // DefWindowProc rather than a half-dismantled skin.
  RemovePropInt(hWnd, kPropProcAddr);
  const LONG_PTR style = GetWindowLongPtrW(hWnd, GWL_STYLE);
  SetWindowLongPtrW(hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | type);
  SetWindowRgn(hWnd, nullptr, TRUE);
  SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE);
  --SkinnedButtonCount;
  ReleaseSkinTemplateIfUnused();
  return 1;
}

void ResizeStateImages(HWND hWnd) {
  WindowBounds bounds{};
  {
    WindowDC reference(hWnd);
    GetWindowBounds(hWnd, bounds);
    for (int state = 0; state < kStateCount; ++state) {
      GiveStateBitmap(hWnd, state, reference, bounds.Width, bounds.Height);
    }
    RenderButtonStates(hWnd);
  }
  SetRoundRegion(hWnd, bounds.Width, bounds.Height);
}
