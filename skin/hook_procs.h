#pragma once
#include <windows.h>

// Installed on forms and dialogs: attaches the window on the other side of
// every activation change, so dialogs opened from a skinned window are
// skinned while they are up.
LRESULT CALLBACK HostWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Installed on a host's other controls: replaces the sunken client edge with
// a flat one-pixel frame.
LRESULT CALLBACK ChildBorderWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The flat frame's outer ring, blue while enabled, grey when disabled.
constexpr COLORREF kFlatFrameColour = RGB(84, 165, 213);
constexpr COLORREF kFlatFrameDisabledColour = RGB(204, 204, 204);
