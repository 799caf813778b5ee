#pragma once
// Reading what kind of window a handle names, and what the system offers.
#include <windows.h>

#include <string>

// The window's class name, "" when it cannot be read.
std::wstring GetWindowClass(HWND hwnd);

// Whether the library exports the function. A library that was not loaded
// already is loaded for the question and freed again.
bool IsFunctionExported(const char* function_name, const wchar_t* dll_name);
