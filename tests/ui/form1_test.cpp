// The main window as a person meets it: where its controls are, how the keys
// move and press, the link's colour, and what a failure shows.
#include "form_test.h"

namespace {

struct Place {
  ControlId id;
  int left, top, width, height;  // twips, from the top-left of the client area
};

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The colour the window gives a label's text when it paints.
COLORREF TextColourOf(HWND window, HWND label) {
  const win32::MemoryDC dc(CreateCompatibleDC(nullptr));
  SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(label));
  return GetTextColor(dc);
}

}  // namespace

TEST_F(FormTest, ControlsSitAtTheirPlacesInPixelsOfTheWindowsDpi) {
  const Place places[] = {{kLabel2, 60, 300, 495, 375},     {kText1, 540, 240, 4935, 315},
                          {kCommand1, 5520, 240, 915, 315}, {kLabel1, 180, 780, 315, 1095},
                          {kText2, 540, 780, 4935, 1095},   {kCommand3, 5520, 840, 915, 975},
                          {kLabel3, 540, 1980, 4215, 195},  {kLabel4, 5280, 1980, 1395, 195}};
  const int dpi = GetDeviceCaps(win32::WindowDC(form->Window()), LOGPIXELSX);
  const auto pixels = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  for (const Place& place : places) {
    const RECT rect = ClientRectOf(Control(place.id));
    EXPECT_EQ(rect.left, pixels(place.left)) << place.id;
    EXPECT_EQ(rect.top, pixels(place.top)) << place.id;
    EXPECT_EQ(rect.right - rect.left, pixels(place.width)) << place.id;
    EXPECT_EQ(rect.bottom - rect.top, pixels(place.height)) << place.id;
  }
  RECT client;
  GetClientRect(form->Window(), &client);
  EXPECT_EQ(client.right, pixels(6525));
  EXPECT_EQ(client.bottom, pixels(2250));
}

TEST_F(FormTest, Label4TurnsRedUnderThePointerAndBlueOnlyOverTheBackground) {
  const struct {
    HWND under;
    COLORREF expected;
  } moves[] = {{Control(kLabel4), RGB(255, 0, 0)},
               {Control(kText1), RGB(255, 0, 0)},
               {Control(kCommand3), RGB(255, 0, 0)},
               {form->Window(), RGB(0, 0, 255)}};
  EXPECT_EQ(TextColourOf(form->Window(), Control(kLabel4)), RGB(0, 0, 255));
  for (const auto& move : moves) {
    SendMessageW(move.under, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(TextColourOf(form->Window(), Control(kLabel4)), move.expected);
  }
}

TEST_F(FormTest, TabAndShiftTabGoRoundText1Command1Text2Command3) {
  ASSERT_EQ(GetFocus(), Control(kText1));
  for (ControlId next : {kCommand1, kText2, kCommand3, kText1}) {
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Control(next)) << next;
  }
  Press(VK_TAB, true);
  EXPECT_EQ(GetFocus(), Control(kCommand3));
}

TEST_F(FormTest, FocusComesBackToItsControlAfterAnotherWindowWasActive) {
  SetFocus(Control(kText2));
  HWND other = CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  SetActiveWindow(other);
  SetActiveWindow(form->Window());
  EXPECT_EQ(GetFocus(), Control(kText2));
  DestroyWindow(other);
}

TEST_F(FormTest, EnterPressesTheFocusedButtonStartsTheRunFromText1AndBreaksTheLineInText2) {
  const struct {
    ControlId focus;
    int openDialogs;       // Command1 pressed
    std::size_t messages;  // the run's confirmation asked
    int text2Lines;
  } cases[] = {{kText1, 0, 1, 1}, {kCommand3, 0, 1, 1}, {kCommand1, 1, 0, 1}, {kText2, 0, 0, 2}};
  ChooseAnExistingInput();
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
  ChooseAnExistingInput();
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
