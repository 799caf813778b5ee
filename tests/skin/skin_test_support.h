#pragma once
// Real windows for the skin's tests under Wine (Xvfb at depth 24, so that
// colours read back exactly).
#include <windows.h>

#include <gtest/gtest.h>

#include "skin_attach.h"
#include "skin_internal.h"

using namespace skin;

inline void Pump() {
  for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
}

// A visible window of class "Form", which the skin hooks as a host: a child
// of one lasting top-level window (Wine is slow to destroy top-level windows
// without a window manager), or a top-level window where activation matters.
inline HWND CreateForm(bool topLevel = false) {
  static WNDCLASSW formClass{0,       DefWindowProcW, 0,       0,
                             nullptr, nullptr,        nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                             nullptr, L"Form"};
  static const bool registered = RegisterClassW(&formClass) != 0;
  static HWND desk =
      CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 40, 40, 900, 700, nullptr, nullptr, nullptr, nullptr);
  HWND form = CreateWindowExW(0, L"Form", L"", (topLevel ? WS_POPUP : WS_CHILD) | WS_VISIBLE, 20, 20, 400, 200,
                              topLevel ? nullptr : desk, nullptr, nullptr, nullptr);
  EXPECT_TRUE(registered && form);
  SetCursorPos(0, 0);  // the mouse stays off the tests' windows, whatever ran before
  SetForegroundWindow(topLevel ? form : desk);
  Pump();
  return form;
}

// A visible control of the class (a push button's size unless told), in the
// font dialogs use.
inline HWND CreateChild(HWND parent, const wchar_t* cls, const wchar_t* text, int x, int y, int width = 75,
                        int height = 25, DWORD style = 0, DWORD exStyle = 0) {
  HWND control = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, width, height,
                                 parent, nullptr, nullptr, nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return control;
}

inline BOOL CALLBACK CountProp(HWND, LPWSTR, HANDLE, ULONG_PTR count) { return ++*reinterpret_cast<int*>(count); }

// Properties of any name left on the window.
inline int PropCount(HWND hwnd) {
  int count = 0;
  EnumPropsExW(hwnd, CountProp, reinterpret_cast<LPARAM>(&count));
  return count;
}

inline COLORREF ScreenPixel(HWND hwnd, int x, int y) { return GetPixel(win32::BorrowWindowDC(hwnd).Get(), x, y); }

// Whether the window has a region of its own (a skinned button's rounded corners).
inline bool HasWindowRegion(HWND hwnd) {
  const win32::Region region(CreateRectRgn(0, 0, 0, 0));
  return GetWindowRgn(hwnd, region.Get()) != ERROR;
}

inline LONG_PTR ButtonType(HWND button) { return GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK; }

// Destroys the form a test made and checks that the module is at rest:
// destruction takes everything down through the hooks, template included.
class SkinTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (form_) DestroyWindow(form_);
    Pump();
    EXPECT_EQ(State().skinnedButtonCount, 0);
    EXPECT_EQ(State().hookedHostCount, 0);
    EXPECT_FALSE(State().skinInitialized);
  }
  HWND form_ = nullptr;
};
