#pragma once
#include <windows.h>

// The window procedure of a skinned button: paints from the state images,
// follows mouse, space key, focus and enabling, and fades between states.
LRESULT CALLBACK ButtonWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
