#pragma once
// Attaching the button skin to a window tree and taking it off again.
#include <windows.h>

// Skins the buttons of hWnd (or hWnd itself if it is a button), gives its
// other controls the flat frame and hooks the window so that dialogs opened
// from it are skinned too. 1 when something was newly attached, else 0.
int SkinWindow(HWND hWnd);
// The reverse; 1 when something was detached, else 0.
int UnskinWindow(HWND hWnd);

// EnumChildWindows callbacks of the two above: buttons are skinned, every
// other descendant gets the flat frame. Both always go on (return 1).
BOOL CALLBACK SkinChildProc(HWND hWnd, LPARAM lParam);
BOOL CALLBACK UnskinChildProc(HWND hWnd, LPARAM lParam);
