// Forms and dialogs, and their controls other than buttons: the host
// subclass spreads the skin to every dialog the window opens, the child
// border subclass replaces the sunken client edge with a flat one-pixel
// frame.
#include "skin_attach.h"
#include "skin_internal.h"

namespace skin {

namespace {
// The flat frame's outer ring, blue while enabled, grey when disabled.
constexpr COLORREF kFlatFrameColour = RGB(84, 165, 213);
constexpr COLORREF kFlatFrameDisabledColour = RGB(204, 204, 204);

// Repaints the whole frame at once: the flat one when hooked, the control's
// own sunken edge when unhooked.
void RepaintFrame(HWND hwnd) { SendMessageW(hwnd, WM_NCPAINT, 1, 0); }

// A one-pixel frame along the inside of the rectangle.
void FrameRectColor(HDC dc, int x, int y, int width, int height, COLORREF colour) {
  const RECT rect{x, y, x + width, y + height};
  win32::Brush brush(CreateSolidBrush(colour));
  if (brush) FrameRect(dc, &rect, brush.Get());
}

// Three rings over the control's own frame: the coloured line, then two in
// the control's background colour, which hide the sunken edge.
void DrawFlatFrame(HWND hwnd) {
  WindowBounds bounds{};
  GetWindowBounds(hwnd, bounds);
  const int w = bounds.width;
  const int h = bounds.height;
  const win32::WindowDC frame = win32::BorrowWindowDC(hwnd);
  const win32::WindowDC client = win32::BorrowClientDC(hwnd);
  const COLORREF outer = IsWindowEnabled(hwnd) ? kFlatFrameColour : kFlatFrameDisabledColour;
  FrameRectColor(frame.Get(), 0, 0, w, h, outer);
  FrameRectColor(frame.Get(), 1, 1, w - 2, h - 2, GetBkColor(client.Get()));
  FrameRectColor(frame.Get(), 2, 2, w - 4, h - 4, GetBkColor(client.Get()));
}

bool HasClientEdge(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; }

// Only windows of this process can take our subclasses.
bool IsOurs(HWND hwnd) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  return process == GetCurrentProcessId();
}

// Whether the other window is being activated or deactivated: attaching is
// idempotent, so a second pass only picks up controls created since.
void AttachOtherWindow(HWND host, HWND other) {
  if (!other || other == host) return;
  if (!IsActivationHostClass(GetWindowClass(other)) || !IsOurs(other)) return;
  SkinWindow(other);
}
}  // namespace

// Unhooked first on destruction; the window's own procedure still gets its
// WM_DESTROY (a dialog frees its resources there).
LRESULT CALLBACK HostSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_DESTROY) UnhookHostWindow(hwnd);
  if (message == WM_ACTIVATE) AttachOtherWindow(hwnd, reinterpret_cast<HWND>(lParam));
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ChildBorderSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_DESTROY) UnhookChildBorder(hwnd);
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  if (message == WM_NCPAINT && HasClientEdge(hwnd)) DrawFlatFrame(hwnd);
  return result;
}

bool IsHookedHost(HWND hwnd) {
  DWORD_PTR data = 0;
  return FindSkinSubclass(hwnd, HostSubclassProc, data);
}

bool HookHostWindow(HWND hwnd) {
  if (IsAttached(hwnd) || !SetWindowSubclass(hwnd, HostSubclassProc, kSkinSubclassId, 0)) return false;
  ++State().hookedHostCount;
  return true;
}

bool UnhookHostWindow(HWND hwnd) {
  if (!RemoveWindowSubclass(hwnd, HostSubclassProc, kSkinSubclassId)) return false;
  --State().hookedHostCount;
  ReleaseSkinTemplateIfUnused();
  return true;
}

bool HookChildBorder(HWND hwnd) {
  if (IsAttached(hwnd) || !SetWindowSubclass(hwnd, ChildBorderSubclassProc, kSkinSubclassId, 0)) return false;
  RepaintFrame(hwnd);
  return true;
}

bool UnhookChildBorder(HWND hwnd) {
  if (!RemoveWindowSubclass(hwnd, ChildBorderSubclassProc, kSkinSubclassId)) return false;
  RepaintFrame(hwnd);
  return true;
}

}  // namespace skin
