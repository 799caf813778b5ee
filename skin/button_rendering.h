#pragma once
// Draws a skinned button's four state images ("HDC0".."HDC3") from the
// template: nine pieces of the state's slice, the caption, and the focus
// rectangle while the button has the keyboard focus.
#include <windows.h>

void RenderButtonStates(HWND hwnd);
