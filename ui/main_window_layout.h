#pragma once
// The stored layout of the main window: every control with its kind, caption,
// position and size in twips (1/1440 inch), in tab order.
#include <windows.h>

#include <array>

enum ControlId : int {
  kInputPathBox = 101,
  kChooseButton = 102,
  kFieldListBox = 103,
  kFieldListLabel = 104,
  kMarcLabel = 105,
  kBeginButton = 106,
  kProgressLabel = 107,
  kSiteLink = 108,
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
const std::array<ControlLayout, kControlCount>& MainWindowLayout();
const ControlLayout& LayoutOf(ControlId id);

// Twips to pixels at the given dots per inch (1440 twips to the inch).
int TwipsToPixels(int twips, int dpi);

// Colours of the labels (the window itself is white).
inline constexpr COLORREF kCaptionLabelColour = RGB(128, 128, 255);  // the field list's label and "MARC"
inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);              // the site link at rest
inline constexpr COLORREF kLinkHoverColour = RGB(255, 0, 0);         // the site link once pointed at

// The titles of the window's message boxes: the question before a run, and
// every other question and notice.
inline constexpr wchar_t kConfirmTitle[] = L"操作提示";
inline constexpr wchar_t kNoticeTitle[] = L"温馨提示";

// The initial caption of the progress label, shown until a run counts a record.
inline constexpr wchar_t kProgressLabelInitialCaption[] = L"正在预读数据，目前完成条.....";
inline constexpr wchar_t kFieldListToolTip[] = L"每个字段用“,”号隔开,注意字母大小写！";
