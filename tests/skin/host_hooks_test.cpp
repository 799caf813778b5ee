// The host procedure spreading the skin to a message box while it is up,
// and the flat frame of bordered controls, read from the screen.
#include <gtest/gtest.h>

#include "skin_attach.h"
#include "skin_internal.h"
#include "skin_test_support.h"

using namespace skin;

namespace {
class HostHooksTest : public SkinTest {};

struct BoxInspection {
  bool seen = false;
  int buttons = 0;
  int skinned_buttons = 0;
  bool box_hooked = false;
  std::int32_t hooked_hosts = 0;
  std::int32_t skinned_count = 0;
  COLORREF top_border = CLR_INVALID;
};
BoxInspection g_box;

BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM result) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
    *reinterpret_cast<HWND*>(result) = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK InspectBoxButton(HWND hwnd, LPARAM) {
  wchar_t cls[32] = {};
  GetClassNameW(hwnd, cls, 32);
  if (_wcsicmp(cls, L"Button") != 0) return TRUE;
  ++g_box.buttons;
  if (HasProp(hwnd, L"PROCADDR") && HasProp(hwnd, L"HDC0")) ++g_box.skinned_buttons;
  if (GetDlgCtrlID(hwnd) == IDOK) g_box.top_border = ScreenPixel(hwnd, 20, 0);
  return TRUE;
}

// Runs inside the message box's modal loop: looks at the box while it is up,
// then closes it through its OK button's command.
void CALLBACK InspectMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  KillTimer(nullptr, timer);
  g_box.seen = true;
  g_box.box_hooked = HasProp(box, L"PROCADDR");
  g_box.hooked_hosts = State().HookedHostCount;
  g_box.skinned_count = State().SkinnedButtonCount;
  EnumChildWindows(box, InspectBoxButton, 0);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

COLORREF ClientBackground(HWND hwnd) {
  HDC dc = GetDC(hwnd);
  const COLORREF colour = GetBkColor(dc);
  ReleaseDC(hwnd, dc);
  return colour;
}

void RepaintFrame(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}
}  // namespace

TEST_F(HostHooksTest, MessageBoxHasSkinnedButtonsWhileShownAndNoneAfter) {
  form_ = CreateForm(400, 200, true);
  HWND own = CreateButton(form_, L"Begin", 10, 10, 75, 25);
  SkinWindow(form_);
  const std::intptr_t own_image = PropValue(own, L"HDC0");
  g_box = BoxInspection{};
  SetTimer(nullptr, 0, 50, InspectMessageBox);
  const int answer = MessageBoxW(form_, L"\x606d\x559c", L"\x6e29\x99a8\x63d0\x793a", MB_OK);
  Pump();

  EXPECT_EQ(answer, IDOK);
  ASSERT_TRUE(g_box.seen);
  EXPECT_TRUE(g_box.box_hooked);
  EXPECT_EQ(g_box.hooked_hosts, 2);
  EXPECT_GE(g_box.buttons, 1);
  EXPECT_EQ(g_box.skinned_buttons, g_box.buttons);
  EXPECT_EQ(g_box.skinned_count, 1 + g_box.buttons);
  EXPECT_EQ(g_box.top_border, RGB(27, 143, 213));
  // Closed: its buttons went with it, the form is as before.
  EXPECT_EQ(State().HookedHostCount, 1);
  EXPECT_EQ(State().SkinnedButtonCount, 1);
  EXPECT_TRUE(State().SkinInitialized);
  EXPECT_EQ(PropValue(own, L"HDC0"), own_image);
  EXPECT_TRUE(HasProp(form_, L"PROCADDR"));
}

TEST_F(HostHooksTest, TextBoxWithClientEdgeGetsTheFlatFrameGreyWhenDisabled) {
  form_ = CreateForm();
  HWND edit = CreateControl(form_, L"Edit", L"text", 0, 20, 20, 200, 24, 0, WS_EX_CLIENTEDGE);
  SkinWindow(form_);
  Pump();
  const COLORREF blue = RGB(84, 165, 213);
  const COLORREF back = ClientBackground(edit);
  for (POINT p : {POINT{0, 0}, POINT{100, 0}, POINT{199, 0}, POINT{0, 12}, POINT{199, 23},
                  POINT{100, 23}}) {
    EXPECT_EQ(ScreenPixel(edit, p.x, p.y), blue) << p.x << "," << p.y;
  }
  for (POINT p : {POINT{1, 1}, POINT{100, 1}, POINT{198, 12}, POINT{2, 2}, POINT{100, 21},
                  POINT{197, 12}}) {
    EXPECT_EQ(ScreenPixel(edit, p.x, p.y), back) << p.x << "," << p.y;
  }
  EnableWindow(edit, FALSE);
  RepaintFrame(edit);
  EXPECT_EQ(ScreenPixel(edit, 0, 0), RGB(204, 204, 204));
  EXPECT_EQ(ScreenPixel(edit, 100, 23), RGB(204, 204, 204));
  EnableWindow(edit, TRUE);
  UnskinWindow(form_);
  // The control's own sunken edge is back at once.
  EXPECT_NE(ScreenPixel(edit, 100, 0), blue);
}

TEST_F(HostHooksTest, ControlWithoutClientEdgeIsHookedButPaintedAsBefore) {
  form_ = CreateForm();
  HWND label = CreateControl(form_, L"Static", L"MARC", 0, 20, 20, 80, 20);
  CreateControl(form_, L"Edit", L"", 0, 20, 60, 200, 24, 0, WS_EX_CLIENTEDGE);
  Pump();
  std::vector<COLORREF> before;
  for (int x = 0; x < 80; x += 3) before.push_back(ScreenPixel(label, x, 0));
  SkinWindow(form_);
  RepaintFrame(label);
  EXPECT_TRUE(HasProp(label, L"PROCADDR"));
  std::vector<COLORREF> after;
  for (int x = 0; x < 80; x += 3) after.push_back(ScreenPixel(label, x, 0));
  EXPECT_EQ(after, before);
}

TEST_F(HostHooksTest, ActivationFromAWindowOfAnotherClassChangesNothing) {
  form_ = CreateForm();
  SkinWindow(form_);
  HWND edit = CreateControl(form_, L"Edit", L"", 0, 20, 20, 100, 24);
  SendMessageW(form_, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(edit));
  SendMessageW(form_, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(form_));
  SendMessageW(form_, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_FALSE(HasProp(edit, L"PROCADDR"));
  EXPECT_EQ(State().HookedHostCount, 1);
}
