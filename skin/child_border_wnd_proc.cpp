#include "drawing_helpers.h"
#include "gdi_handles.h"
#include "hook_procs.h"
#include "host_hooks.h"
#include "window_props.h"

using skin_gdi::ClientDC;
using skin_gdi::SolidBrush;
using skin_gdi::WindowDC;

namespace {
// Three rings over the control's own frame: the coloured line, then two in
// the control's background colour, which hide the sunken edge.
void DrawFlatFrame(HWND hwnd) {
  WindowBounds bounds{};
  GetWindowBounds(hwnd, bounds);
  const int w = bounds.Width;
  const int h = bounds.Height;
  WindowDC frame(hwnd);
  ClientDC client(hwnd);
  const COLORREF outer = IsWindowEnabled(hwnd) ? kFlatFrameColour : kFlatFrameDisabledColour;
  FrameRectColor(frame, 0, 0, w, h, outer);
  FrameRectColor(frame, 1, 1, w - 2, h - 2, GetBkColor(client));
  FrameRectColor(frame, 2, 2, w - 4, h - 4, GetBkColor(client));
}

bool HasClientEdge(HWND hwnd) {
  return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
}
}  // namespace

LRESULT CALLBACK ChildBorderWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return 0;
  WNDPROC previous = GetPreviousProc(hWnd);
  if (!previous) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  switch (uMsg) {
    case WM_DESTROY:
      // Unhook first; the control's own procedure still frees its data here.
      UnhookChildBorder(hWnd);
      return CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
    case WM_NCPAINT: {
      const LRESULT result = CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
      if (HasClientEdge(hWnd)) DrawFlatFrame(hWnd);
      return result;
    }
    default:
      return CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
  }
}
