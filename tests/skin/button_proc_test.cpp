// The skinned button's procedure driven by the messages a user's actions
// produce: mouse, left button, space key, focus, enabling, size, destroy.
#include <gtest/gtest.h>

#include "skin_internal.h"
#include "skin_attach.h"
#include "skin_test_support.h"

using namespace skin;

namespace {
class ButtonProcTest : public SkinTest {
 protected:
  void SetUp() override {
    form_ = CreateForm();
    button_ = CreateButton(form_, L"Begin", 20, 20, 75, 25, BS_PUSHBUTTON, 7);
    other_ = CreateButton(form_, L"Other", 120, 20, 75, 25);
    SetFocus(other_);
    SkinWindow(form_);
    Pump();
  }

  std::intptr_t Prop(const wchar_t* name) const { return PropValue(button_, name); }
  HDC Image(int state) const {
    return reinterpret_cast<HDC>(PropValue(button_, (L"HDC" + std::to_wstring(state)).c_str()));
  }
  void Send(UINT msg, WPARAM wparam = 0, LPARAM lparam = MAKELPARAM(10, 10)) {
    SendMessageW(button_, msg, wparam, lparam);
  }
  // Drives the fade with timer messages, as the timer would, until it ends.
  int StepsUntilFadeEnds() {
    int steps = 0;
    while (Prop(L"TIMERID") != 0 && steps < 1000) {
      Send(WM_TIMER, 1, 0);
      ++steps;
    }
    return steps;
  }
  // Pumps real messages until the fade ends, counting the timer ticks.
  int TicksUntilFadeEnds() {
    int ticks = 0;
    const DWORD start = GetTickCount();
    MSG msg;
    while (Prop(L"TIMERID") != 0 && GetTickCount() - start < 10000) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_TIMER && msg.hwnd == button_) ++ticks;
        DispatchMessageW(&msg);
      }
    }
    return ticks;
  }
  // Timer messages that reach the button in a while of pumping.
  int TicksWithin(int ms) {
    int ticks = 0;
    const DWORD start = GetTickCount();
    MSG msg;
    while (static_cast<int>(GetTickCount() - start) < ms) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_TIMER && msg.hwnd == button_) ++ticks;
        DispatchMessageW(&msg);
      }
    }
    return ticks;
  }

  HWND button_ = nullptr;
  HWND other_ = nullptr;
};
}  // namespace

TEST_F(ButtonProcTest, MouseEntryStartsTheHoverFadeOnce) {
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(Prop(L"OLDSTATE"), 1);
  EXPECT_EQ(Prop(L"MOUSEFLAG"), 1);
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 70);
  const std::intptr_t timer = Prop(L"TIMERID");
  EXPECT_EQ(timer, 1);
  Send(WM_TIMER, 1, 0);
  Send(WM_TIMER, 1, 0);
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 76);
  Send(WM_MOUSEMOVE);  // further movement inside changes nothing
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 76);
  EXPECT_EQ(Prop(L"TIMERID"), timer);
}

TEST_F(ButtonProcTest, LeavingDuringTheHoverFadeRetargetsTheSameTimer) {
  Send(WM_MOUSEMOVE);
  Send(WM_TIMER, 1, 0);
  Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Prop(L"OLDSTATE"), 0);
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 0);
  EXPECT_EQ(Prop(L"MOUSEFLAG"), 0);
  EXPECT_EQ(Prop(L"TIMERID"), 1);
  EXPECT_EQ(StartFadeTimer(button_), 0u);  // one timer per button
  EXPECT_EQ(StepsUntilFadeEnds(), 86);
}

TEST_F(ButtonProcTest, RealMouseLeaveArrivesThroughTrackMouseEvent) {
  POINT inside{30, 12};
  ClientToScreen(button_, &inside);
  SetCursorPos(inside.x, inside.y);
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(30, 12));
  ASSERT_EQ(Prop(L"MOUSEFLAG"), 1);
  SetCursorPos(inside.x + 300, inside.y + 300);
  EXPECT_TRUE(PumpUntil([&] { return Prop(L"MOUSEFLAG") == 0; }));
  EXPECT_EQ(Prop(L"OLDSTATE"), 0);
}

TEST_F(ButtonProcTest, LeftButtonPressesAndReleaseReturnsToNormalAfterTheClick) {
  std::intptr_t state_during_click = -1;
  g_form_log.on_click = [&](HWND) { state_during_click = Prop(L"OLDSTATE"); };
  Send(WM_MOUSEMOVE);
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(Prop(L"OLDSTATE"), 2);
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 10);
  EXPECT_EQ(Prop(L"MOUSEFLAG"), 1);
  Send(WM_LBUTTONUP);
  ASSERT_EQ(g_form_log.clicked_ids, std::vector<WORD>{7});
  EXPECT_EQ(state_during_click, 2);  // the click ran before the reset
  EXPECT_EQ(Prop(L"OLDSTATE"), 0);   // normal, not hover
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 0);
  EXPECT_EQ(Prop(L"MOUSEFLAG"), 0);
  Send(WM_MOUSEMOVE);  // the next movement enters hover again
  EXPECT_EQ(Prop(L"OLDSTATE"), 1);
}

TEST_F(ButtonProcTest, BmClickIsSeenAsPressAndRelease) {
  PostMessageW(button_, BM_CLICK, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !g_form_log.clicked_ids.empty(); }));
  EXPECT_EQ(Prop(L"OLDSTATE"), 0);
  EXPECT_EQ(Prop(L"TIMERID"), 1);
}

TEST_F(ButtonProcTest, SpaceKeyPressesAndOtherKeysDoNothing) {
  SetFocus(button_);
  StepsUntilFadeEnds();
  Send(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(Prop(L"OLDSTATE"), 2);
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 50);
  Send(WM_TIMER, 1, 0);
  Send(WM_KEYDOWN, VK_SPACE, 0x40000000);  // auto-repeat sets the alpha back
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 50);
  Send(WM_KEYDOWN, 'A', 0);
  Send(WM_KEYUP, 'A', 0);
  EXPECT_EQ(Prop(L"OLDSTATE"), 2);
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 50);
  Send(WM_KEYUP, VK_SPACE, 0xC0000000);
  EXPECT_EQ(Prop(L"OLDSTATE"), 0);
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 0);
  EXPECT_EQ(Prop(L"MOUSEFLAG"), 0);
}

TEST_F(ButtonProcTest, FadeStepCountsFromEachStartingAlpha) {
  Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(StepsUntilFadeEnds(), 86);
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(StepsUntilFadeEnds(), 82);
  ReleaseCapture();
  SetFocus(button_);
  StepsUntilFadeEnds();
  Send(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(StepsUntilFadeEnds(), 69);
  Send(WM_KEYUP, VK_SPACE, 0);
  StepsUntilFadeEnds();
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(StepsUntilFadeEnds(), 62);
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 0);
}

TEST_F(ButtonProcTest, TheRealTimerRunsTheFadeToItsEndAndThenFallsSilent) {
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(TicksUntilFadeEnds(), 62);
  EXPECT_EQ(Prop(L"TIMERID"), 0);
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 0);
  EXPECT_EQ(TicksWithin(150), 0);
}

TEST_F(ButtonProcTest, FadeStepBlendsTheTargetOverTheScreen) {
  InvalidateRect(button_, nullptr, FALSE);
  UpdateWindow(button_);
  // The top border: blue when normal, grey when disabled.
  const COLORREF normal = GetPixel(Image(0), 37, 0);
  const COLORREF disabled = GetPixel(Image(3), 37, 0);
  ASSERT_EQ(ScreenPixel(button_, 37, 0), normal);
  SetPropW(button_, L"OLDSTATE", reinterpret_cast<HANDLE>(3));
  SetPropW(button_, L"ALPHALEVEL", reinterpret_cast<HANDLE>(128));
  Send(WM_TIMER, 1, 0);
  const COLORREF blended = ScreenPixel(button_, 37, 0);
  EXPECT_NE(blended, normal);
  EXPECT_NE(blended, disabled);
  EXPECT_NEAR(GetRValue(blended), (GetRValue(normal) + GetRValue(disabled)) / 2, 2);
  EXPECT_NEAR(GetBValue(blended), (GetBValue(normal) + GetBValue(disabled)) / 2, 2);
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 131);
}

TEST_F(ButtonProcTest, PaintShowsTheTargetImageInFull) {
  Send(WM_MOUSEMOVE);
  Send(WM_TIMER, 1, 0);
  InvalidateRect(button_, nullptr, FALSE);
  UpdateWindow(button_);
  for (int x : {0, 5, 37, 70, 74}) {
    for (int y : {1, 12, 23}) {
      EXPECT_EQ(ScreenPixel(button_, x, y), GetPixel(Image(1), x, y)) << x << "," << y;
    }
  }
}

TEST_F(ButtonProcTest, FocusReRendersAndFadesFromZero) {
  const COLORREF before = GetPixel(Image(0), 2, 12);
  SetFocus(button_);
  EXPECT_NE(GetPixel(Image(0), 2, 12), before);  // focus rectangle drawn in
  EXPECT_EQ(Prop(L"ALPHALEVEL"), 0);
  EXPECT_EQ(Prop(L"TIMERID"), 1);
  StepsUntilFadeEnds();
  SetFocus(other_);
  EXPECT_EQ(GetPixel(Image(0), 2, 12), before);
  EXPECT_EQ(Prop(L"TIMERID"), 1);
}

TEST_F(ButtonProcTest, DisablingAndEnablingShowAtOnceWithoutAFade) {
  EnableWindow(button_, FALSE);
  EXPECT_EQ(Prop(L"OLDSTATE"), 3);
  EXPECT_EQ(Prop(L"TIMERID"), 0);
  EXPECT_EQ(ScreenPixel(button_, 37, 12), GetPixel(Image(3), 37, 12));
  EXPECT_EQ(ScreenPixel(button_, 0, 10), GetPixel(Image(3), 0, 10));
  EnableWindow(button_, TRUE);
  EXPECT_EQ(Prop(L"OLDSTATE"), 0);
  EXPECT_EQ(Prop(L"TIMERID"), 0);
  EXPECT_EQ(ScreenPixel(button_, 0, 10), GetPixel(Image(0), 0, 10));
}

TEST_F(ButtonProcTest, ResizingGivesNewImagesOfTheNewSizeAndFreesTheOldOnes) {
  HGDIOBJ old_bitmaps[4];
  for (int n = 0; n < 4; ++n) {
    old_bitmaps[n] = reinterpret_cast<HGDIOBJ>(Prop((L"BMP" + std::to_wstring(n)).c_str()));
  }
  SetWindowPos(button_, nullptr, 0, 0, 100, 30, SWP_NOMOVE | SWP_NOZORDER);
  for (int n = 0; n < 4; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(GetObjectType(old_bitmaps[n]), 0u);
    HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(Prop((L"BMP" + std::to_wstring(n)).c_str()));
    EXPECT_EQ(GetCurrentObject(Image(n), OBJ_BITMAP), bitmap);
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 100);
    EXPECT_EQ(info.bmHeight, 30);
  }
  // The bottom-right corner moved with the size.
  EXPECT_EQ(GetPixel(Image(0), 99, 29), GetPixel(State().SkinTemplateDC, 8, 20));
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(button_, region);
  RECT box{};
  GetRgnBox(region, &box);
  DeleteObject(region);
  EXPECT_GE(box.right, 99);
  EXPECT_LE(box.right, 101);
  EXPECT_GE(box.bottom, 29);
  EXPECT_LE(box.bottom, 31);
}

TEST_F(ButtonProcTest, DestroyUnskinsTheButton) {
  Send(WM_MOUSEMOVE);  // with a fade running
  HDC image = Image(0);
  DestroyWindow(button_);
  EXPECT_EQ(State().SkinnedButtonCount, 1);  // the other button
  EXPECT_EQ(GetObjectType(image), 0u);
  EXPECT_TRUE(State().SkinInitialized);
}

TEST_F(ButtonProcTest, UnskinningInsideTheClickLeavesNoStateOrTimerBehind) {
  g_form_log.on_click = [&](HWND button) { UnskinWindow(button); };
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  Send(WM_LBUTTONUP);
  ASSERT_EQ(g_form_log.clicked_ids.size(), 1u);
  EXPECT_TRUE(SkinPropsOn(button_).empty());
  EXPECT_EQ(TicksWithin(100), 0);
}
