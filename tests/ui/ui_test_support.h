#pragma once
// Helpers for creating the main window inside a test: dialogs and message
// boxes answered from a script, settings in memory, and a way to let the
// window run its pending messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "desktop_services.h"
#include "file_system.h"
#include "form1.h"
#include "message_loop.h"
#include "settings_store.h"

struct MessageBoxCall {
  HWND owner;
  std::wstring prompt;
  unsigned style;
  std::wstring title;
};

class ScriptedDesktop : public DesktopServices {
 public:
  std::wstring ChooseOpenFile(HWND owner) override {
    openOwners.push_back(owner);
    return Next(openAnswers, std::wstring());
  }
  std::wstring ChooseSaveFile(HWND owner) override {
    saveOwners.push_back(owner);
    if (whileSaveDialogIsOpen) whileSaveDialogIsOpen();
    return Next(saveAnswers, std::wstring());
  }
  int ShowMessageBox(HWND owner, const std::wstring& prompt, unsigned style, const std::wstring& title) override {
    messages.push_back({owner, prompt, style, title});
    if (buttonAnswers.empty()) {
      ADD_FAILURE() << "unexpected message box: " << testing::PrintToString(prompt);
      return IDNO;
    }
    return Next(buttonAnswers, IDNO);
  }
  bool OpenAddress(const std::wstring& address) override {
    addresses.push_back(address);
    return browserWorks;
  }

  std::deque<std::wstring> openAnswers;
  std::deque<std::wstring> saveAnswers;
  std::deque<int> buttonAnswers;
  std::function<void()> whileSaveDialogIsOpen;
  bool browserWorks = true;

  std::vector<HWND> openOwners;
  std::vector<HWND> saveOwners;
  std::vector<MessageBoxCall> messages;
  std::vector<std::wstring> addresses;

 private:
  template <typename T>
  static T Next(std::deque<T>& answers, T otherwise) {
    if (answers.empty()) return otherwise;
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class MemorySettingsStore : public SettingsStore {
 public:
  std::string Get(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& defaultValue) override {
    const auto found = entries.find(application + "\\" + section + "\\" + key);
    return found == entries.end() ? defaultValue : found->second;
  }
  bool Save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override {
    entries[application + "\\" + section + "\\" + key] = value;
    return true;
  }
  std::map<std::string, std::string> entries;
};

// Runs the window's messages for a while, as the message loop would.
inline void RunMessagesFor(Form1& form, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    PumpPendingMessages(form);
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

// Takes a WM_QUIT that Form_Unload left in this thread's queue, so that it
// does not end the next test's pumping. True when there was one.
inline bool TakeQuitMessage() {
  MSG message;
  bool quit = false;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) quit = true;
  }
  return quit;
}

// A shown main window with scripted dialogs, settings in memory and the real
// files.
class FormTest : public ::testing::Test {
 protected:
  void TearDown() override {
    form.reset();
    TakeQuitMessage();
  }

  Form1& Open() {
    form = std::make_unique<Form1>(desktop, settings, LocalFileSystem());
    EXPECT_TRUE(form->Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    SetForegroundWindow(form->Window());
    RunMessagesFor(*form, 50);
    return *form;
  }

  HWND Control(ControlId id) { return form->Control(id); }
  std::wstring Text(ControlId id);

  ScriptedDesktop desktop;
  MemorySettingsStore settings;
  std::unique_ptr<Form1> form;
};

inline std::wstring FormTest::Text(ControlId id) {
  wchar_t text[4096] = {};
  GetWindowTextW(Control(id), text, 4096);
  return text;
}
