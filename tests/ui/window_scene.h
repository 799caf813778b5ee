#pragma once
// The main window created inside a test, as the window's tests and the field
// chooser's both meet it: its dialogs, message boxes and menus answered from
// a script, its settings kept in memory, keys pressed through its loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop_services.h"
#include "file_system.h"
#include "main_window.h"
#include "message_loop.h"
#include "settings_store.h"
#include "win32_text.h"

// Texts are kept in UTF-8, which a failing test prints as text.
inline std::string TextOf(HWND window) { return Narrow(WindowText(window)); }

struct MessageBoxCall {
  std::string prompt;
  unsigned style;
  std::string title;
  std::string progress;      // the progress label's caption when the box appeared
  std::string buttons = {};  // of a dialog of buttons of its own: their captions, each followed by "|"
};

// Answers Yes to the first `yeses` questions and No to the rest, presses
// the `choices` in turn in the dialogs of buttons of their own, opens
// openPaths, saves to savePath, chooses menuChoice from a shortcut menu,
// and notes every box with what the progress label said then, the items of
// the last menu, and the files opened and shown in their folder.
class ScriptedDesktop : public DesktopServices {
 public:
  std::vector<std::wstring> ChooseOpenFiles(HWND, Language) override {
    ++openDialogs;
    if (openDialogBreaks) throw std::runtime_error("the open dialog broke");
    return openPaths;
  }
  std::wstring ChooseListFile(HWND, bool save, Language) override {
    listDialogs += save ? "save|" : "open|";
    return listFilePath;
  }
  std::wstring ChooseSaveFile(HWND, int& type, Language, const std::wstring& proposed) override {
    offeredType = type;
    proposedPath = Narrow(proposed);
    if (chosenType >= 0) type = chosenType;
    return savePath;
  }
  int ShowMessageBox(HWND owner, const std::wstring& prompt, unsigned style, const std::wstring& title) override {
    messages.push_back({Narrow(prompt), style, Narrow(title), TextOf(GetDlgItem(owner, kProgressLabel))});
    return yeses-- > 0 ? IDYES : IDNO;
  }
  // The items go into menuItems one after another, each followed by "|",
  // disabled ones in brackets, separators as "-" and a submenu's items in
  // braces after its own.
  UINT ShowShortcutMenu(HWND, HMENU menu, POINT) override {
    menuItems = ItemsOf(menu);
    return menuChoice;
  }
  static std::string ItemsOf(HMENU menu) {
    std::string items;
    for (UINT i = 0; i < static_cast<UINT>(GetMenuItemCount(menu)); ++i) {
      wchar_t text[128] = {};
      GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
      MENUITEMINFOW info = {};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
      GetMenuItemInfoW(menu, i, TRUE, &info);
      if (info.fType & MFT_SEPARATOR) {
        items += "-|";
        continue;
      }
      const bool grey = (info.fState & MFS_GRAYED) != 0;
      items.append(grey ? "[" : "").append(Narrow(text)).append(grey ? "]" : "");
      if (info.hSubMenu != nullptr) items.append("{").append(ItemsOf(info.hSubMenu)).append("}");
      items += "|";
    }
    return items;
  }
  std::size_t ShowChoice(HWND owner, const ChoiceRequest& request) override {
    std::string buttons;
    for (const std::wstring& button : request.buttons) buttons += Narrow(button) + "|";
    messages.push_back(
        {Narrow(request.prompt), 0, Narrow(request.title), TextOf(GetDlgItem(owner, kProgressLabel)), buttons});
    if (choices.empty()) return request.cancelButton;
    const std::size_t chosen = choices.front();
    choices.erase(choices.begin());
    return chosen;
  }
  bool OpenAddress(const std::wstring&) override { return false; }
  void OpenFile(HWND, const std::wstring& path) override { shellCalls += "open " + Narrow(path) + "|"; }
  void ShowInFolder(HWND, const std::wstring& path) override { shellCalls += "folder " + Narrow(path) + "|"; }

  int yeses = 0;
  std::vector<std::size_t> choices;  // the buttons pressed, by index; Esc when none is left
  std::vector<std::wstring> openPaths;
  std::wstring savePath;
  std::string proposedPath;  // what the save dialog proposed
  std::string shellCalls;    // "open PATH|", "folder PATH|" for each
  int chosenType = -1;       // the type the user picks in the save dialog; -1 leaves it as offered
  int offeredType = -1;      // the type the dialog offered first
  bool openDialogBreaks = false;
  int openDialogs = 0;
  UINT menuChoice = 0;
  std::string menuItems;
  std::wstring listFilePath;  // what the list file dialogs give
  std::string listDialogs;    // "open|", "save|" for each shown
  std::vector<MessageBoxCall> messages;
};

// Settings kept in memory; saving them may run out of memory. The window's
// own settings go by their key ("Language"), those of another section by
// section and key ("Sorrelant\\FieldLists/书目").
class MemorySettings : public SettingsStore {
 public:
  std::optional<std::string> Get(const std::string&, const std::string& section, const std::string& key) override {
    const auto found = values.find(Entry(section, key));
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
  bool Save(const std::string&, const std::string& section, const std::string& key, const std::string& value) override {
    if (savingRunsOutOfMemory) throw std::bad_alloc();
    values[Entry(section, key)] = value;
    return true;
  }
  std::vector<std::string> Keys(const std::string&, const std::string& section) override {
    std::vector<std::string> keys;
    const std::string prefix = Entry(section, "");
    for (const auto& [entry, value] : values) {
      const bool inSection = prefix.empty() ? entry.find('/') == std::string::npos : entry.rfind(prefix, 0) == 0;
      if (inSection) keys.push_back(entry.substr(prefix.size()));
    }
    return keys;
  }
  bool Delete(const std::string&, const std::string& section, const std::string& key) override {
    values.erase(Entry(section, key));
    return true;
  }
  std::map<std::string, std::string> values;
  bool savingRunsOutOfMemory = false;

 private:
  static std::string Entry(const std::string& section, const std::string& key) {
    return section == "Sorrelant" ? key : section + "/" + key;
  }
};

// A key pressed where the focus is, through the loop of the window or dialog
// (with the window's shortcuts, when given).
inline void Press(HWND window, WPARAM key, bool shift = false, HACCEL shortcuts = nullptr) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
  PumpPendingMessages(window, shortcuts);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

// What RunInDialog runs once the dialog is ready, and how often it ran or
// waited.
struct DialogScript {
  std::function<bool(HWND)> ready;
  std::function<void(HWND)> run;
  int runs = 0, waits = 0;
};
inline DialogScript dialogScript;

inline void CALLBACK RunDialogScript(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowW(L"#32770", nullptr);  // the program's dialog: the test's message boxes are scripted
  if (dialog == nullptr || dialogScript.runs > 0) return;
  if (dialogScript.ready(dialog)) {
    ++dialogScript.runs;
    dialogScript.run(dialog);
  } else if (++dialogScript.waits > 500) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}

// Opens a modal dialog by `open` and runs `run` on it from inside its own
// modal loop once `ready` says so (by default once its OK button is
// enabled); how many times it ran. A dialog that never gets ready is
// cancelled after a while.
inline int RunInDialog(const std::function<void()>& open, std::function<void(HWND)> run,
                       std::function<bool(HWND)> ready = nullptr) {
  if (!ready) ready = [](HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; };
  dialogScript = {std::move(ready), std::move(run)};
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, RunDialogScript);
  open();
  KillTimer(nullptr, timer);
  dialogScript.run = nullptr;
  return dialogScript.runs;
}

// The window in Chinese, shown and active, on the sample file with a list
// that holds a full-width comma, a line break and a code no record has.
class WindowScene : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.values["Language"] = "zh";
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    SetWindowTextW(Control(kInputPathBox), QUIRNEL_SAMPLE);
    SetWindowTextW(Control(kFieldListBox), kList);
    SetForegroundWindow(window.Window());
    PumpPendingMessages(window.Window());
  }

  HWND Control(ControlId id) { return window.Control(id); }

  static constexpr wchar_t kList[] = L"200f，9999,\r\n200a";
  ScriptedDesktop desktop;
  MemorySettings settings;
  MainWindow window{desktop, settings, LocalFileSystem()};
};
