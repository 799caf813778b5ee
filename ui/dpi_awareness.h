#pragma once
// Dots per inch of the monitor a window is on, and the metrics that depend on
// it. The functions of newer Windows are looked up at run time, so the program
// still starts on systems without them and then uses the system DPI.
#include <windows.h>

int DpiOfWindow(HWND window);
// The outer size of a window whose client area is clientWidth x clientHeight.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);
// The system's message font (the interface font of message boxes), for dpi.
LOGFONTW MessageFontFor(int dpi);
