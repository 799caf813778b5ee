#pragma once
// Hooking forms and dialogs (HostWndProc) and their non-button controls
// (ChildBorderWndProc). Each returns 1 when it did something, else 0.
#include <windows.h>

int HookHostWindow(HWND hWnd);
int UnhookHostWindow(HWND hWnd);
int HookChildBorder(HWND hWnd);
int UnhookChildBorder(HWND hWnd);
