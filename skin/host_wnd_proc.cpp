#include "host_hooks.h"
#include "hook_procs.h"
#include "skin_attach.h"
#include "window_class.h"
#include "window_props.h"
#include "window_roles.h"

namespace {
// Only windows of this process can take our procedures.
bool IsOurs(HWND hwnd) {
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  return process == GetCurrentProcessId();
}

void AttachOtherWindow(HWND host, HWND other) {
  if (!other || other == host) return;
  if (!IsActivationHostClass(GetWindowClass(other))) return;
  if (!IsOurs(other)) return;
  // Whether it is being activated or deactivated: attaching is idempotent,
  // so a second pass only picks up controls created since.
  SkinWindow(other);
}
}  // namespace

LRESULT CALLBACK HostWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return 0;
  WNDPROC previous = GetPreviousProc(hWnd);
  if (!previous) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  switch (uMsg) {
    case WM_DESTROY:
      // Unhook first; the window's own procedure still gets its WM_DESTROY
      // (a dialog frees its resources there).
      UnhookHostWindow(hWnd);
      return CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
    case WM_ACTIVATE:
      AttachOtherWindow(hWnd, reinterpret_cast<HWND>(lParam));
      break;
    default:
      break;
  }
  return CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
}
