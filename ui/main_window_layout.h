#pragma once
// The stored layout of the main window: every control with its kind, caption,
// position and size in twips (1/1440 inch), in tab order.
#include <windows.h>

#include <array>

#include "text/language.h"

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
// window's children, which is what dialog navigation follows. The captions
// are in the language given, and so is the field list label's place.
const std::array<ControlLayout, kControlCount>& MainWindowLayout(Language language);
const ControlLayout& LayoutOf(ControlId id, Language language);

// Twips to pixels at the given dots per inch (1440 twips to the inch).
int TwipsToPixels(int twips, int dpi);

// Colours of the labels (the window itself is white).
inline constexpr COLORREF kCaptionLabelColour = RGB(128, 128, 255);  // the field list's label and "MARC"
inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);              // the site link at rest
inline constexpr COLORREF kLinkHoverColour = RGB(255, 0, 0);         // the site link once pointed at
