#pragma once
// Answers the real message boxes and file dialogs of this thread from a second
// thread, as a person would: it waits for the dialog, notes its title and
// prompt, types a file name if told to, and presses a button.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

struct DialogAnswer {
  int button;              // the id to press: IDYES, IDNO, IDOK, IDCANCEL
  std::wstring fileName;   // typed into a file dialog's name box first, if not empty
};

struct DialogSeen {
  std::wstring title;
  std::wstring prompt;     // a message box's text
  int focusedId = 0;       // the control that had the focus: the default button
};

class DialogAnswerer {
 public:
  DialogAnswerer(DWORD uiThread, std::vector<DialogAnswer> answers)
      : uiThread_(uiThread), answers_(std::move(answers)), worker_([this] { Work(); }) {}
  ~DialogAnswerer() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
  }
  // What was seen, once every answer has been given.
  const std::vector<DialogSeen>& Seen() {
    if (worker_.joinable()) worker_.join();
    return seen_;
  }

 private:
  static constexpr int kFileNameBox = 0x47C;

  struct Search {
    DWORD thread;
    HWND found;
  };

  static BOOL CALLBACK Match(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (GetWindowThreadProcessId(window, nullptr) == search->thread && IsWindowVisible(window) &&
        std::wstring(name) == L"#32770") {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }

  HWND WaitForDialog() {
    for (int tries = 0; tries < 1000 && !stop_; ++tries) {
      Search search = {uiThread_, nullptr};
      EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr) return search.found;
      Sleep(10);
    }
    return nullptr;
  }

  static std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
  }

  void Work() {
    for (const DialogAnswer& answer : answers_) {
      HWND dialog = WaitForDialog();
      if (dialog == nullptr) return;
      Sleep(50);  // let it settle, as a person would look first
      DialogSeen seen;
      seen.title = TextOf(dialog);
      if (HWND prompt = GetDlgItem(dialog, 0xFFFF)) seen.prompt = TextOf(prompt);
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      if (GetGUIThreadInfo(uiThread_, &info) && info.hwndFocus != nullptr) seen.focusedId = GetDlgCtrlID(info.hwndFocus);
      seen_.push_back(seen);
      if (!answer.fileName.empty()) {
        SendMessageW(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.fileName.c_str()));
      }
      PostMessageW(GetDlgItem(dialog, answer.button), BM_CLICK, 0, 0);
      for (int tries = 0; tries < 1000 && IsWindow(dialog) && !stop_; ++tries) Sleep(10);
    }
  }

  DWORD uiThread_;
  std::vector<DialogAnswer> answers_;
  std::vector<DialogSeen> seen_;
  std::atomic<bool> stop_{false};
  std::thread worker_;
};
