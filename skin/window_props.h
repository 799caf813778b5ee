#pragma once
// Every per-window value of the skin lives in a window property, so a window
// carries its own state and "PROCADDR" alone tells whether it is attached.
#include <windows.h>

#include <cstdint>
#include <string>

extern const wchar_t kPropProcAddr[];    // "PROCADDR": the procedure we replaced
extern const wchar_t kPropMouseFlag[];   // "MOUSEFLAG"
extern const wchar_t kPropTimerId[];     // "TIMERID"
extern const wchar_t kPropOldState[];    // "OLDSTATE"
extern const wchar_t kPropAlphaLevel[];  // "ALPHALEVEL"
extern const wchar_t kPropDefButton[];   // "DEFBUTTON": 1 while the dialog's default

// "HDC0".."HDC3" and "BMP0".."BMP3".
std::wstring StateDCPropName(int state);
std::wstring StateBitmapPropName(int state);

// An absent property reads as 0, exactly like a stored 0.
std::intptr_t GetPropInt(HWND hwnd, const wchar_t* name);
void SetPropInt(HWND hwnd, const wchar_t* name, std::intptr_t value);
void RemovePropInt(HWND hwnd, const wchar_t* name);

HDC GetStateDC(HWND hwnd, int state);
HBITMAP GetStateBitmap(HWND hwnd, int state);

// The procedure saved in "PROCADDR", null when the window is not attached.
WNDPROC GetPreviousProc(HWND hwnd);
bool IsAttached(HWND hwnd);

// Installs `proc` and records the procedure it replaces in "PROCADDR".
void ReplaceWindowProc(HWND hwnd, WNDPROC proc);
// Removes "PROCADDR" first, then puts `previous` back, so that messages sent
// in between find the window detached.
void RestoreWindowProc(HWND hwnd, WNDPROC previous);
