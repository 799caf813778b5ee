#pragma once
#include <windows.h>

// Asks for one WM_MOUSELEAVE when the mouse leaves the button, through
// User32's TrackMouseEvent where it exists, else comctl32's _TrackMouseEvent.
void TrackMouseLeave(HWND hWnd);
