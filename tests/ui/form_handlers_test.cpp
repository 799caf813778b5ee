// The window's handlers driven as a person drives them: colours of the
// labels, the link, the keyboard's tab order and the open dialog.
#include <gtest/gtest.h>

#include "app_identity.h"
#include "ui_test_support.h"

namespace {

// The text colour and background the window gives a label when it paints.
struct LabelPaint {
  COLORREF text;
  COLORREF background;
};

LabelPaint PaintOf(HWND window, HWND label) {
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT brush = SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(label));
  LOGBRUSH fill = {};
  GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof fill, &fill);
  const LabelPaint paint = {GetTextColor(dc), fill.lbColor};
  DeleteDC(dc);
  return paint;
}

}  // namespace

TEST_F(FormTest, LabelsPaintTheirColoursOnTheWhiteWindow) {
  Open();
  const COLORREF lilac = RGB(128, 128, 255);
  EXPECT_EQ(PaintOf(form->Window(), Control(kLabel1)).text, lilac);
  EXPECT_EQ(PaintOf(form->Window(), Control(kLabel2)).text, lilac);
  EXPECT_EQ(PaintOf(form->Window(), Control(kLabel4)).text, RGB(0, 0, 255));
  for (ControlId id : {kLabel1, kLabel2, kLabel3, kLabel4}) {
    EXPECT_EQ(PaintOf(form->Window(), Control(id)).background, RGB(255, 255, 255)) << id;
  }
}

TEST_F(FormTest, Label4TurnsRedUnderThePointerAndBlueOverTheBackgroundOnly) {
  Open();
  HWND label4 = Control(kLabel4);
  EXPECT_EQ(form->Label4Colour(), RGB(0, 0, 255));
  SendMessageW(label4, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(form->Label4Colour(), RGB(255, 0, 0));
  EXPECT_EQ(PaintOf(form->Window(), label4).text, RGB(255, 0, 0));

  // Over a text box or a button nothing changes.
  SendMessageW(Control(kText1), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  SendMessageW(Control(kCommand3), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(form->Label4Colour(), RGB(255, 0, 0));

  SendMessageW(form->Window(), WM_MOUSEMOVE, 0, MAKELPARAM(200, 45));
  EXPECT_EQ(form->Label4Colour(), RGB(0, 0, 255));
}

TEST_F(FormTest, ThePointerOverACaptionLabelIsNotOverTheBackground) {
  Open();
  for (ControlId id : {kLabel1, kLabel2}) {
    RECT box;
    GetWindowRect(Control(id), &box);
    const POINT middle = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(middle), Control(id)) << id;
  }
}

TEST_F(FormTest, ClickingLabel4OpensTheSiteAndAFailureSaysNothing) {
  Open();
  desktop.browserWorks = false;
  SendMessageW(Control(kLabel4), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(Control(kLabel4), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  ASSERT_EQ(desktop.addresses.size(), 1u);
  EXPECT_EQ(desktop.addresses[0], L"http://example.com/");
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_TRUE(IsWindow(form->Window()));
}

namespace {

void PressTab(Form1& form, bool shift) {
  BYTE keys[256];
  GetKeyboardState(keys);
  const BYTE shiftBefore = keys[VK_SHIFT];
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  MSG message = {GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {}};
  if (!form.PreTranslateMessage(message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  PumpPendingMessages(form);
  keys[VK_SHIFT] = shiftBefore;
  SetKeyboardState(keys);
}

}  // namespace

TEST_F(FormTest, TabMovesThroughText1Command1Text2Command3) {
  Open();
  ASSERT_EQ(GetFocus(), Control(kText1));
  PressTab(*form, false);
  EXPECT_EQ(GetFocus(), Control(kCommand1));
  PressTab(*form, false);
  EXPECT_EQ(GetFocus(), Control(kText2));
  PressTab(*form, false);  // out of the multi-line box, which asks its parent to move on
  EXPECT_EQ(GetFocus(), Control(kCommand3));
  PressTab(*form, false);
  EXPECT_EQ(GetFocus(), Control(kText1));
  PressTab(*form, true);
  EXPECT_EQ(GetFocus(), Control(kCommand3));
}

TEST_F(FormTest, FocusComesBackToItsControlAfterAnotherWindowWasActive) {
  Open();
  SetFocus(Control(kText2));
  HWND other = CreateWindowExW(0, L"Static", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  SetActiveWindow(other);
  SetActiveWindow(form->Window());
  EXPECT_EQ(GetFocus(), Control(kText2));
  DestroyWindow(other);
}

TEST_F(FormTest, Command1PutsTheChosenPathIntoText1AndACancelChangesNothing) {
  Open();
  desktop.openAnswers = {L"Z:\\数据\\书目.iso", std::wstring()};
  SendMessageW(Control(kCommand1), BM_CLICK, 0, 0);
  EXPECT_EQ(Text(kText1), L"Z:\\数据\\书目.iso");
  ASSERT_EQ(desktop.openOwners.size(), 1u);
  EXPECT_EQ(desktop.openOwners[0], form->Window());

  SendMessageW(Control(kCommand1), BM_CLICK, 0, 0);  // cancelled
  EXPECT_EQ(Text(kText1), L"Z:\\数据\\书目.iso");
}
