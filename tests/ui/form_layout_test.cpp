// The window as it opens: its controls, captions, positions at 96 DPI, style,
// icon, colours and initial state.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app_identity.h"
#include "field_list.h"
#include "ui_test_support.h"

namespace {

struct ExpectedControl {
  ControlId id;
  const wchar_t* className;
  const wchar_t* caption;
  RECT pixels;  // left, top, right, bottom in client coordinates at 96 DPI
};

// The layout's twips at 15 twips to the pixel.
const ExpectedControl kExpected[] = {
    {kText1, L"Edit", L"", {36, 16, 36 + 329, 16 + 21}},
    {kCommand1, L"Button", L"选择", {368, 16, 368 + 61, 16 + 21}},
    {kText2, L"Edit", nullptr, {36, 52, 36 + 329, 52 + 73}},
    {kLabel1, L"Static", L"提取字段设置", {12, 52, 12 + 21, 52 + 73}},
    {kLabel2, L"Static", L"MARC", {4, 20, 4 + 33, 20 + 25}},
    {kCommand3, L"Button", L"Begin", {368, 56, 368 + 61, 56 + 65}},
    {kLabel3, L"Static", L"正在预读数据，目前完成条.....", {36, 132, 36 + 281, 132 + 13}},
    {kLabel4, L"Static", kSiteHostName, {352, 132, 352 + 93, 132 + 13}},
};

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

COLORREF PixelOf(HICON icon, int x, int y, bool& transparent) {
  ICONINFO info = {};
  GetIconInfo(icon, &info);
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = 32;
  format.bmiHeader.biHeight = -32;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  DWORD colour[32 * 32] = {};
  DWORD mask[32 * 32] = {};
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, info.hbmColor, 0, 32, colour, &format, DIB_RGB_COLORS);
  GetDIBits(dc, info.hbmMask, 0, 32, mask, &format, DIB_RGB_COLORS);
  DeleteDC(dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  transparent = (mask[y * 32 + x] & 0xFFFFFF) != 0;
  const DWORD bgr = colour[y * 32 + x];
  return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

}  // namespace

TEST_F(FormTest, EveryControlIsARealChildWindowWithItsKindCaptionAndPlace) {
  Open();
  for (const ExpectedControl& expected : kExpected) {
    HWND control = Control(expected.id);
    ASSERT_NE(control, nullptr) << expected.id;
    EXPECT_EQ(GetDlgItem(form->Window(), expected.id), control);
    EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), expected.className), 0) << expected.id;
    if (expected.caption != nullptr) {
      EXPECT_EQ(Text(expected.id), expected.caption) << expected.id;
    }
    const RECT actual = ClientRectOf(control);
    EXPECT_TRUE(SameRect(actual, expected.pixels))
        << expected.id << ": " << Describe(actual) << " instead of " << Describe(expected.pixels);
  }
}

TEST_F(FormTest, WindowIsAFixedWhiteCentredBoxWithTheCaptionAndContact) {
  Open();
  HWND window = form->Window();
  wchar_t caption[256] = {};
  GetWindowTextW(window, caption, 256);
  EXPECT_EQ(std::wstring(caption), L"Quirnel（联系：help@example.com）");

  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 435);
  EXPECT_EQ(client.bottom, 150);

  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_CAPTION);

  RECT outer;
  GetWindowRect(window, &outer);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  EXPECT_NEAR((outer.left + outer.right) / 2.0, (monitor.rcMonitor.left + monitor.rcMonitor.right) / 2.0, 1.0);
  EXPECT_NEAR((outer.top + outer.bottom) / 2.0, (monitor.rcMonitor.top + monitor.rcMonitor.bottom) / 2.0, 1.0);

  // The bare background, between the controls.
  UpdateWindow(window);
  HDC dc = GetDC(window);
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 200, 45), RGB(255, 255, 255));
  ReleaseDC(window, dc);
}

TEST_F(FormTest, TextBoxesAreASingleLinePathAndAMultiLineListWithoutScrollBars) {
  Open();
  const LONG_PTR text1 = GetWindowLongPtrW(Control(kText1), GWL_STYLE);
  const LONG_PTR text2 = GetWindowLongPtrW(Control(kText2), GWL_STYLE);
  EXPECT_FALSE(text1 & ES_MULTILINE);
  EXPECT_TRUE(text2 & ES_MULTILINE);
  EXPECT_FALSE(text2 & (WS_VSCROLL | WS_HSCROLL));
}

TEST_F(FormTest, OpensWithFocusInText1Label3HiddenAndTheDefaultList) {
  Open();
  EXPECT_EQ(GetFocus(), Control(kText1));
  EXPECT_FALSE(IsWindowVisible(Control(kLabel3)));
  EXPECT_TRUE(IsWindowVisible(Control(kLabel4)));
  EXPECT_TRUE(IsWindowEnabled(Control(kCommand3)));
  EXPECT_EQ(Text(kText1), L"");
  EXPECT_EQ(Text(kText2), L"010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,225a,330a,606a,690a");
}

TEST_F(FormTest, TextIsInTheSystemsMessageFont) {
  Open();
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  for (ControlId id : {kText1, kCommand1, kText2, kCommand3, kLabel2, kLabel3, kLabel4}) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(Control(id), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr) << id;
    LOGFONTW used = {};
    GetObjectW(font, sizeof used, &used);
    EXPECT_STREQ(used.lfFaceName, metrics.lfMessageFont.lfFaceName) << id;
    EXPECT_EQ(used.lfHeight, metrics.lfMessageFont.lfHeight) << id;
  }
}

TEST_F(FormTest, Text2ExplainsTheListInATooltip) {
  Open();
  ASSERT_NE(form->ToolTip(), nullptr);
  wchar_t text[128] = {};
  TTTOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = form->Window();
  tool.uId = reinterpret_cast<UINT_PTR>(Control(kText2));
  tool.lpszText = text;
  SendMessageW(form->ToolTip(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(text), L"每个字段用“,”号隔开,注意字母大小写！");
}

TEST_F(FormTest, WindowCarriesTheTileIcon) {
  Open();
  HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(form->Window(), GCLP_HICON));
  ASSERT_NE(icon, nullptr);
  bool transparent = false;
  PixelOf(icon, 1, 1, transparent);
  EXPECT_TRUE(transparent);  // the margin
  PixelOf(icon, 3, 3, transparent);
  EXPECT_TRUE(transparent);  // a cut corner
  EXPECT_EQ(PixelOf(icon, 16, 3, transparent), RGB(107, 143, 255));  // the frame
  EXPECT_FALSE(transparent);
  EXPECT_EQ(PixelOf(icon, 5, 15, transparent), RGB(177, 199, 255));  // the fill
  EXPECT_EQ(PixelOf(icon, 12, 14, transparent), RGB(255, 255, 255));  // the letter's bar
  EXPECT_EQ(PixelOf(icon, 7, 14, transparent), RGB(107, 143, 255));   // its outline
  EXPECT_EQ(PixelOf(icon, 8, 14, transparent), RGB(255, 255, 255));
  PixelOf(icon, 29, 16, transparent);
  EXPECT_TRUE(transparent);
}

TEST(IconFile, IsOne32By32ImageWith256Colours) {
  std::ifstream in(QUIRNEL_ICON_PATH, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 62u);
  EXPECT_EQ(bytes[4], 1);                               // one image
  EXPECT_EQ(static_cast<unsigned char>(bytes[6]), 32);  // width
  EXPECT_EQ(static_cast<unsigned char>(bytes[7]), 32);  // height
  EXPECT_EQ(bytes[22 + 14], 8);                         // bits per pixel: a 256-colour palette
}
