#pragma once
// How the skin treats a window, judged by its class name alone.
#include <string>
#include <string_view>

enum class WindowRole {
  Button,  // skinned
  Host,    // descendants attached, the window itself hooked
  Other,   // ignored at the top; given the flat frame as a descendant
};

// Class names compare without regard to case; only ASCII letters fold,
// which is all the listed names contain.
std::wstring LowerCaseAscii(std::wstring_view text);

WindowRole RoleOfClass(std::wstring_view class_name);

// Windows worth attaching when activation passes to or from a host: forms,
// dialogs (message boxes and file dialogs) and the help window.
bool IsActivationHostClass(std::wstring_view class_name);

// The caption as drawn with the "&" underline hidden: a single "&" goes,
// "&&" stays one "&". Drawn with DT_NOPREFIX, it looks as DT_HIDEPREFIX
// promises (Wine's DrawText ignores that flag).
std::wstring WithoutPrefix(std::wstring_view caption);
