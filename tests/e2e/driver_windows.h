#pragma once
// Finding and working another program's windows as a person would: its main
// window, its message boxes and file dialogs, their buttons and boxes.
#include <windows.h>

#include <string>

// The visible top-level window of the process with this class (or any class
// when className is null) and this exact title (any title when null).
HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title);
// Waits up to timeoutMs for such a window, looking every pollMs; nullptr when
// none came.
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title, DWORD timeoutMs,
                          DWORD pollMs = 20);
// Waits until the window is gone.
bool WaitUntilClosed(HWND window, DWORD timeoutMs);

std::wstring TextOf(HWND window);
void SetTextOf(HWND window, const std::wstring& text);
// Presses a button by posting the click: the program's modal loops then run
// on their own, and this driver never blocks inside them.
void Press(HWND dialog, int buttonId);
