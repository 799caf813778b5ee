#pragma once
// The ways from the main window to the field chooser: its command, its key,
// and the field list box's shortcut menu, which offers the edit box's own
// items again beside the chooser.
#include <windows.h>

#include "ui_texts.h"
#include "win32_handles.h"

// The chooser's command, from the menu and from its keyboard shortcut.
inline constexpr UINT kChooseFieldsCommand = 110;
inline constexpr UINT kChooseFieldsKey = VK_F4;

// The menu for the edit box, its items enabled as the box's state allows.
win32::Menu FieldListMenu(HWND box, const UiTexts& texts);
// Carries out an edit item of that menu on the box; false for another command.
bool RunEditCommand(HWND box, UINT command);
// Where the menu opens: at the pointer, or at the caret when the keyboard
// asked for it (at is then -1, -1).
POINT MenuPoint(HWND box, LPARAM at);
