#pragma once
// The program keeps text as UTF-8 inside and speaks UTF-16 to Windows: the
// one place where the two meet.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::wstring Widen(std::string_view utf8);
// The same, but nullopt when the text is not valid UTF-8.
std::optional<std::wstring> WidenExact(std::string_view utf8);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view wide);
// The whole caption or text of a window.
std::wstring WindowText(HWND window);
