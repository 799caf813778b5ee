#include "fade_timer.h"

#include "drawing_helpers.h"
#include "fade_step.h"
#include "gdi_handles.h"
#include "window_props.h"

using skin_gdi::WindowDC;

UINT_PTR StartFadeTimer(HWND hWnd) {
  if (GetPropInt(hWnd, kPropTimerId) != 0) return 0;
  const UINT_PTR id = SetTimer(hWnd, kFadeTimerId, kFadeIntervalMs, nullptr);
  SetPropInt(hWnd, kPropTimerId, static_cast<std::intptr_t>(id));
  return id;
}

BOOL StopFadeTimer(HWND hWnd) {
  const std::intptr_t id = GetPropInt(hWnd, kPropTimerId);
  if (id == 0) return FALSE;
  SetPropInt(hWnd, kPropTimerId, 0);
  return KillTimer(hWnd, static_cast<UINT_PTR>(id));
}

void RunFadeStep(HWND hWnd) {
  WindowBounds bounds{};
  GetWindowBounds(hWnd, bounds);
  const int state = static_cast<int>(GetPropInt(hWnd, kPropOldState));
  const int alpha = static_cast<int>(GetPropInt(hWnd, kPropAlphaLevel));
  HDC target = GetStateDC(hWnd, state);
  {
    // Each step blends over what is on screen, so successive steps accumulate.
    WindowDC screen(hWnd);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
    AlphaBlend(screen, 0, 0, bounds.Width, bounds.Height, target, 0, 0, bounds.Width,
               bounds.Height, blend);
  }
  const FadeAdvance next = AdvanceFade(alpha);
  if (next.finished) StopFadeTimer(hWnd);
  SetPropInt(hWnd, kPropAlphaLevel, next.next_alpha);
}
