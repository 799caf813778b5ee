#pragma once
// What the window asks of the desktop: the common file dialogs, modal message
// boxes and questions, shortcut menus, the default browser, and the programs
// that open a file or show it in its folder. The program uses the system's
// own; tests answer them from a script.
#include <windows.h>

#include <string>
#include <vector>

#include "choice_dialog.h"
#include "text/language.h"

class DesktopServices {
 public:
  virtual ~DesktopServices() = default;
  // The paths the user chose (one or several), or none when the dialog was
  // cancelled or failed. The dialogs' titles and types are in the language given.
  virtual std::vector<std::wstring> ChooseOpenFiles(HWND owner, Language language) = 0;
  // The save dialog's types are those of OutputType, in its order; `type`
  // comes in as the one to offer first and goes out as the one chosen. It
  // opens on `proposed` (folder and name, or ""), and a change of type
  // changes the name's extension.
  virtual std::wstring ChooseSaveFile(HWND owner, int& type, Language language, const std::wstring& proposed) = 0;
  // The dialog that opens (save false) or saves (save true) a field list
  // file; saving asks before it replaces a file. The path, or "".
  virtual std::wstring ChooseListFile(HWND owner, bool save, Language language) = 0;
  // A modal message box; the id of the button pressed (IDYES, IDNO, IDOK).
  virtual int ShowMessageBox(HWND owner, const std::wstring& prompt, unsigned style, const std::wstring& title) = 0;
  // A modal message with buttons of its own captions (see ChoiceRequest);
  // the index of the button pressed.
  virtual std::size_t ShowChoice(HWND owner, const ChoiceRequest& request) = 0;
  // Shows the menu at the point (screen coordinates) until the user chooses
  // or dismisses it; the id of the item chosen, or 0.
  virtual UINT ShowShortcutMenu(HWND owner, HMENU menu, POINT at) = 0;
  // Opens the address in the default browser without waiting; false on failure.
  virtual bool OpenAddress(const std::wstring& address) = 0;
  // Opens the file in the program associated with its type, without
  // waiting. Where there is none, the system says so in its own words.
  virtual void OpenFile(HWND owner, const std::wstring& path) = 0;
  // Opens the file's folder in Explorer with the file selected.
  virtual void ShowInFolder(HWND owner, const std::wstring& path) = 0;
};

// The real dialogs, message boxes and browser of the system.
DesktopServices& SystemDesktop();
