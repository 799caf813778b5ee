#pragma once
// The stored layout of the main window: every control with its kind, caption,
// position and size in twips (1/1440 inch), in tab order.
#include <windows.h>

#include <array>

enum ControlId : int {
  kText1 = 101,
  kCommand1 = 102,
  kText2 = 103,
  kLabel1 = 104,
  kLabel2 = 105,
  kCommand3 = 106,
  kLabel3 = 107,
  kLabel4 = 108,
};

struct ControlLayout {
  ControlId id;
  const wchar_t* className;  // a real child window class, so automation finds it
  DWORD style;
  DWORD exStyle;
  const wchar_t* caption;
  int left, top, width, height;  // twips, from the top-left of the client area
};

inline constexpr int kClientWidthTwips = 6525;
inline constexpr int kClientHeightTwips = 2250;
inline constexpr int kControlCount = 8;

// In tab order: creating the controls in this order makes it the order of the
// window's children, which is what dialog navigation follows.
const std::array<ControlLayout, kControlCount>& Form1Layout();
const ControlLayout& LayoutOf(ControlId id);

// Twips to pixels at the given dots per inch (1440 twips to the inch).
int TwipsToPixels(int twips, int dpi);

// Colours of the labels (the window itself is white).
inline constexpr COLORREF kCaptionLabelColour = RGB(128, 128, 255);  // Label1, Label2
inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);             // Label4 at rest
inline constexpr COLORREF kLinkHoverColour = RGB(255, 0, 0);        // Label4 once pointed at

// The initial caption of the progress label, shown until a run counts a record.
inline constexpr wchar_t kLabel3InitialCaption[] = L"正在预读数据，目前完成条.....";
inline constexpr wchar_t kText2ToolTip[] = L"每个字段用“,”号隔开,注意字母大小写！";
