#pragma once
// What the program's own dialogs share: a template made in memory, so that
// each is a real dialog (class "#32770") that the skin reaches through its
// owner, with its controls made at the window's DPI; and where it opens.
#include <windows.h>

#include <vector>

// A dialog template without controls and without a font of its own. It
// must start on a DWORD boundary, which a vector's storage does.
std::vector<WORD> DialogTemplate(DWORD style, const wchar_t* title);

// Where a window of the outer size goes to stand over the centre of owner,
// kept on the owner's monitor.
POINT CentredOn(HWND owner, SIZE outer);

// Moves and sizes a control to the rectangle.
void Place(HWND control, const RECT& rect);
