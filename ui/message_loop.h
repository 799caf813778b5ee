#pragma once
// The program's message loop. The main window is not a dialog, yet Tab, Shift
// +Tab and Enter move and press as in one: every message goes through the
// dialog manager of that window first, and its keyboard shortcuts, if it is
// given any, before that.
#include <windows.h>

// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop(HWND mainWindow, HACCEL shortcuts = nullptr);

// Runs the messages already waiting for this thread, then returns. False when
// the program is quitting: the WM_QUIT met here is put back for the main loop.
bool PumpPendingMessages(HWND mainWindow, HACCEL shortcuts = nullptr);
