#include "host_hooks.h"

#include "hook_procs.h"
#include "skin_state.h"
#include "skin_template.h"
#include "window_props.h"

namespace {
// Repaints the whole frame at once: the flat one when hooked, the control's
// own sunken edge when unhooked.
void RepaintFrame(HWND hwnd) { SendMessageW(hwnd, WM_NCPAINT, 1, 0); }
}  // namespace

int HookHostWindow(HWND hWnd) {
  if (IsAttached(hWnd)) return 0;
  ReplaceWindowProc(hWnd, HostWndProc);
  ++HookedHostCount;
  return 1;
}

int UnhookHostWindow(HWND hWnd) {
  WNDPROC previous = GetPreviousProc(hWnd);
  if (!previous) return 0;
  RestoreWindowProc(hWnd, previous);
  --HookedHostCount;
  ReleaseSkinTemplateIfUnused();
  return 1;
}

int HookChildBorder(HWND hWnd) {
  if (IsAttached(hWnd)) return 0;
  ReplaceWindowProc(hWnd, ChildBorderWndProc);
  RepaintFrame(hWnd);
  return 1;
}

int UnhookChildBorder(HWND hWnd) {
  WNDPROC previous = GetPreviousProc(hWnd);
  if (!previous) return 0;
  RestoreWindowProc(hWnd, previous);
  RepaintFrame(hWnd);
  return 1;
}
