#pragma once
// The per-button fade timer (identifier 1, 15 ms) and one step of the fade.
#include <windows.h>

// Starts the timer unless one runs already ("TIMERID" nonzero): one timer
// per button. Returns the new identifier, 0 when none was started.
UINT_PTR StartFadeTimer(HWND hWnd);
// Stops the running timer; 0 when there was none.
BOOL StopFadeTimer(HWND hWnd);
// Blends the target state's image ("OLDSTATE") over the button at the alpha
// in "ALPHALEVEL" and raises the alpha, ending the fade past 255.
void RunFadeStep(HWND hWnd);
