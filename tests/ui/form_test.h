#pragma once
// The main window created inside a test: its dialogs and message boxes
// answered from a script, its settings kept nowhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop_services.h"
#include "file_system.h"
#include "form1.h"
#include "message_loop.h"
#include "settings_store.h"

struct MessageBoxCall {
  std::wstring prompt;
  unsigned style;
  std::wstring title;
};

class ScriptedDesktop : public DesktopServices {
 public:
  std::wstring ChooseOpenFile(HWND) override {
    ++openDialogs;
    if (openDialogBreaks) throw std::runtime_error("the open dialog broke");
    return {};
  }
  std::wstring ChooseSaveFile(HWND) override { return {}; }
  int ShowMessageBox(HWND, const std::wstring& prompt, unsigned style, const std::wstring& title) override {
    messages.push_back({prompt, style, title});
    return IDNO;  // the run's confirmation declined
  }
  bool OpenAddress(const std::wstring&) override { return false; }

  bool openDialogBreaks = false;
  int openDialogs = 0;
  std::vector<MessageBoxCall> messages;
};

// Settings that keep nothing; saving them may run out of memory.
class NoSettings : public SettingsStore {
 public:
  std::string Get(const std::string&, const std::string&, const std::string&, const std::string& absent) override {
    return absent;
  }
  bool Save(const std::string&, const std::string&, const std::string&, const std::string&) override {
    if (savingRunsOutOfMemory) throw std::bad_alloc();
    return true;
  }
  bool savingRunsOutOfMemory = false;
};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<Form1>(desktop, settings, LocalFileSystem());
    ASSERT_TRUE(form->Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    SetForegroundWindow(form->Window());
    PumpPendingMessages(form->Window());
  }

  HWND Control(ControlId id) { return form->Control(id); }

  // A key pressed where the focus is, through the window's message loop.
  void Press(WPARAM key, bool shift = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PumpPendingMessages(form->Window());
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }

  // Any file that exists will do as the input: this test program.
  void ChooseAnExistingInput() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    SetWindowTextW(Control(kText1), self);
  }

  ScriptedDesktop desktop;
  NoSettings settings;
  std::unique_ptr<Form1> form;
};
