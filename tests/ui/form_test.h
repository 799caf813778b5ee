#pragma once
// The main window created inside a test: its dialogs and message boxes
// answered from a script, its files and settings in memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
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
#include "win32_text.h"

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
  std::wstring ChooseSaveFile(HWND) override { return L"Z:\\out.txt"; }
  int ShowMessageBox(HWND, const std::wstring& prompt, unsigned style, const std::wstring& title) override {
    messages.push_back({prompt, style, title});
    if (answers.empty()) return IDNO;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool OpenAddress(const std::wstring&) override { return false; }

  std::deque<int> answers;
  bool openDialogBreaks = false;
  int openDialogs = 0;
  std::vector<MessageBoxCall> messages;
};

// One input file, "in.iso"; reading it may run out of memory.
class ScriptedFiles : public FileSystem {
 public:
  bool Exists(const std::string& path) override { return path == "in.iso"; }
  bool IsSameFile(const std::string&, const std::string&) override { return false; }
  std::unique_ptr<InputFile> OpenForReading(const std::string&, int& errorNumber) override {
    if (readingRunsOutOfMemory) throw std::bad_alloc();
    errorNumber = ENOENT;
    return nullptr;
  }
  std::unique_ptr<OutputFile> OpenForAppending(const std::string&, int& errorNumber) override {
    errorNumber = ENOENT;
    return nullptr;
  }
  bool readingRunsOutOfMemory = false;
};

class NoSettings : public SettingsStore {
 public:
  std::string Get(const std::string&, const std::string&, const std::string&, const std::string& absent) override {
    return absent;
  }
  bool Save(const std::string&, const std::string&, const std::string&, const std::string&) override { return true; }
};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<Form1>(desktop, settings, files);
    ASSERT_TRUE(form->Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    SetForegroundWindow(form->Window());
    PumpPendingMessages(form->Window());
  }
  void TearDown() override {
    form.reset();
    MSG quit;  // the WM_QUIT of the closed window must not end the next test's pumping
    while (PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HWND Control(ControlId id) { return form->Control(id); }
  std::wstring Text(ControlId id) { return WindowText(Control(id)); }

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

  ScriptedDesktop desktop;
  ScriptedFiles files;
  NoSettings settings;
  std::unique_ptr<Form1> form;
};
