#pragma once
// Attaching the button skin to a window tree and taking it off again.
#include <windows.h>

// Skins the push buttons of hwnd (or hwnd itself if it is one), gives its
// other controls the flat frame and hooks the window when its class is a
// form's or a dialog's, so that the dialogs it opens are skinned too. True
// when something was newly attached.
bool SkinWindow(HWND hwnd);
// The same for a window whose class the skin does not know: attached as a
// form is, whatever its class. True when it was newly hooked.
bool SkinHostWindow(HWND hwnd);
// The reverse of either; true when something was detached.
bool UnskinWindow(HWND hwnd);
