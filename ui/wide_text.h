#pragma once
// The program keeps text as UTF-8 inside and speaks UTF-16 to Windows.
#include <windows.h>

#include <string>
#include <string_view>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// The whole caption or text of a window.
std::wstring WindowTextOf(HWND window);
