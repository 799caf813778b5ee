#include "mouse_leave.h"

#include "skin_state.h"

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
}  // namespace

void TrackMouseLeave(HWND hWnd) {
  TRACKMOUSEEVENT request{};
  request.cbSize = sizeof(request);
  request.dwFlags = TME_LEAVE;
  request.hwndTrack = hWnd;
  request.dwHoverTime = 0;
  if (HasUser32TrackMouseEvent) {
    TrackMouseEvent(&request);
  } else if (TrackFunction track = ComctlTrackMouseEvent()) {
    track(&request);
  }
}
