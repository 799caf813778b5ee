// The main window as a person meets it, created inside the test with its
// dialogs and message boxes answered from a script and its settings kept
// nowhere: where its controls are, how the keys move and press, the link's
// colour, and what a failure shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "desktop_services.h"
#include "file_system.h"
#include "form1.h"
#include "message_loop.h"
#include "settings_store.h"

namespace {

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
  // Any file that exists will do as the input: this test program.
  void SetUp() override {
    ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    SetWindowTextW(Control(kText1), self);
    SetForegroundWindow(form.Window());
    PumpPendingMessages(form.Window());
  }

  HWND Control(ControlId id) { return form.Control(id); }

  // A key pressed where the focus is, through the window's message loop.
  void Press(WPARAM key, bool shift = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PumpPendingMessages(form.Window());
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }

  ScriptedDesktop desktop;
  NoSettings settings;
  Form1 form{desktop, settings, LocalFileSystem()};
};

// The colour the window gives a label's text when it paints.
COLORREF TextColourOf(HWND window, HWND label) {
  const win32::MemoryDC dc(CreateCompatibleDC(nullptr));
  SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(label));
  return GetTextColor(dc.Get());
}

}  // namespace

// The stored layout is in twips: the window shows it in pixels of its own
// DPI, from the top-left of a client area of the size it is given.
TEST_F(FormTest, ControlsAndClientAreaTakeTheirTwipsInPixelsOfTheWindowsDpi) {
  const int dpi = GetDeviceCaps(win32::BorrowWindowDC(form.Window()).Get(), LOGPIXELSX);
  const auto pixels = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  for (const ControlLayout& place : Form1Layout()) {
    RECT rect;
    GetWindowRect(Control(place.id), &rect);
    MapWindowPoints(nullptr, form.Window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, pixels(place.left)) << place.id;
    EXPECT_EQ(rect.top, pixels(place.top)) << place.id;
    EXPECT_EQ(rect.right - rect.left, pixels(place.width)) << place.id;
    EXPECT_EQ(rect.bottom - rect.top, pixels(place.height)) << place.id;
  }
  RECT client;
  GetClientRect(form.Window(), &client);
  EXPECT_EQ(client.right, pixels(kClientWidthTwips));
  EXPECT_EQ(client.bottom, pixels(kClientHeightTwips));
}

// Once pointed at, the link stays red until the pointer is over the bare
// background of the window.
TEST_F(FormTest, Label4TurnsRedUnderThePointerAndBlueOnlyOverTheBackground) {
  EXPECT_EQ(TextColourOf(form.Window(), Control(kLabel4)), RGB(0, 0, 255));
  for (HWND under : {Control(kLabel4), Control(kText1), Control(kCommand3), form.Window()}) {
    SendMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    const COLORREF expected = under == form.Window() ? RGB(0, 0, 255) : RGB(255, 0, 0);
    EXPECT_EQ(TextColourOf(form.Window(), Control(kLabel4)), expected) << under;
  }
}

// The window is no dialog, yet Tab goes round as in one, and the control
// that had the focus gets it back when the window is active again.
TEST_F(FormTest, TabGoesRoundText1Command1Text2Command3AndTheFocusComesBackAfterAnotherWindow) {
  ASSERT_EQ(GetFocus(), Control(kText1));
  for (ControlId next : {kCommand1, kText2, kCommand3, kText1}) {
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Control(next)) << next;
  }
  Press(VK_TAB, true);
  EXPECT_EQ(GetFocus(), Control(kCommand3));
  HWND other = CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  SetActiveWindow(other);
  SetActiveWindow(form.Window());
  EXPECT_EQ(GetFocus(), Control(kCommand3));
  DestroyWindow(other);
}

TEST_F(FormTest, EnterPressesTheFocusedButtonStartsTheRunFromText1AndBreaksTheLineInText2) {
  const struct {
    ControlId focus;
    int openDialogs;       // Command1 pressed
    std::size_t messages;  // the run's confirmation asked
    int text2Lines;
  } cases[] = {{kText1, 0, 1, 1}, {kCommand3, 0, 1, 1}, {kCommand1, 1, 0, 1}, {kText2, 0, 0, 2}};
  SetWindowTextW(Control(kText2), L"200a");
  for (const auto& enter : cases) {
    desktop = {};
    SetFocus(Control(enter.focus));
    Press(VK_RETURN);
    EXPECT_EQ(desktop.openDialogs, enter.openDialogs) << enter.focus;
    EXPECT_EQ(desktop.messages.size(), enter.messages) << enter.focus;
    EXPECT_EQ(SendMessageW(Control(kText2), EM_GETLINECOUNT, 0, 0), enter.text2Lines) << enter.focus;
  }
}

TEST_F(FormTest, AnExceptionEndsInAnErrorBoxAndTheWindowGoesOn) {
  settings.savingRunsOutOfMemory = true;
  SendMessageW(Control(kCommand3), BM_CLICK, 0, 0);
  desktop.openDialogBreaks = true;
  SendMessageW(Control(kCommand1), BM_CLICK, 0, 0);

  ASSERT_EQ(desktop.messages.size(), 2u);
  EXPECT_NE(desktop.messages[0].prompt.find(L"内存不足"), std::wstring::npos);
  EXPECT_EQ(desktop.messages[1].prompt, L"程序出错，操作未能完成。");
  for (std::size_t i : {0, 1}) {
    EXPECT_EQ(desktop.messages[i].title, L"温馨提示");
    EXPECT_EQ(desktop.messages[i].style, static_cast<unsigned>(MB_OK | MB_ICONERROR));
  }
  EXPECT_TRUE(IsWindowEnabled(Control(kCommand3)));
}
