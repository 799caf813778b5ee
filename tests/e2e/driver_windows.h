#pragma once
// Working another program's windows from outside as a person would: starting
// it, finding its windows, reading and typing text, pressing buttons.
#include <windows.h>

#include <string>

#include "win32_handles.h"

// Starts a program; the owner is empty when it could not be started.
win32::ProcessInformation StartProgram(const std::wstring& commandLine);
// The visible top-level window of the process with this class and exact
// title, waiting up to timeoutMs for it to come; nullptr if none came.
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title, DWORD timeoutMs,
                          DWORD pollMs = 20);

std::wstring TextOf(HWND window);
void SetTextOf(HWND window, const std::wstring& text);
// Presses a button by posting the click: the program's modal loops then run
// on their own, and the driver never blocks inside them.
void Press(HWND dialog, int buttonId);
