#pragma once
// The ways from the main window to the field chooser: its command, its key,
// and the field list box's shortcut menu, which offers the edit box's own
// items again beside the chooser, the lists saved under names and the list
// files.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "ui_texts.h"
#include "win32_handles.h"

// The chooser's command, from the menu and from its keyboard shortcut.
inline constexpr UINT kChooseFieldsCommand = 110;
inline constexpr UINT kChooseFieldsKey = VK_F4;
// The commands of the saved lists and the list files.
inline constexpr UINT kSaveSchemeCommand = 111;
inline constexpr UINT kDeleteSchemeCommand = 112;
inline constexpr UINT kLoadListFileCommand = 113;
inline constexpr UINT kSaveListFileCommand = 114;
// The saved list of each name, in the order of the names given.
inline constexpr UINT kFirstSchemeCommand = 1000;
inline constexpr std::size_t kMostSchemesInMenu = 1000;

// The menu for the edit box, its items enabled as the box's state allows,
// with a submenu of the saved lists' names.
win32::Menu FieldListMenu(HWND box, const UiTexts& texts, const std::vector<std::string>& schemeNames);
// Carries out an edit item of that menu on the box; false for another command.
bool RunEditCommand(HWND box, UINT command);
// Where the menu opens: at the pointer, or at the caret when the keyboard
// asked for it (at is then -1, -1).
POINT MenuPoint(HWND box, LPARAM at);
