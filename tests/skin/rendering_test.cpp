// The four state images of real buttons, read back from their memory DCs.
#include <gtest/gtest.h>

#include <algorithm>

#include "skin_attach.h"
#include "win32_text.h"
#include "skin_test_support.h"
#include "skin_core.h"

using namespace skin;

namespace {
class RenderingTest : public SkinTest {};

HDC StateImage(HWND button, int state) {
  const std::wstring name = L"HDC" + std::to_wstring(state);
  return reinterpret_cast<HDC>(PropValue(button, name.c_str()));
}

COLORREF Slice(int state, int x, int row) { return kTemplateColors[21 * state + row][x]; }

struct Box {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  int count = 0;
  void Add(int x, int y) {
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x);
    bottom = std::max(bottom, y);
    ++count;
  }
};

// Pixels where two images of the same size differ.
Box Difference(HDC a, HDC b, int w, int h) {
  Box box;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (GetPixel(a, x, y) != GetPixel(b, x, y)) box.Add(x, y);
    }
  }
  return box;
}

// Differing pixels of two 75 x 25 images that are not on the outline of
// the rectangle (2, 2)-(73, 23).
int DifferencesOffOutline(HDC a, HDC b) {
  int off = 0;
  for (int y = 0; y < 25; ++y) {
    for (int x = 0; x < 75; ++x) {
      const bool outline = (x == 2 || x == 72) ? (y >= 2 && y <= 22)
                                               : (y == 2 || y == 22) && x >= 2 && x <= 72;
      if (!outline && GetPixel(a, x, y) != GetPixel(b, x, y)) ++off;
    }
  }
  return off;
}

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

COLORREF DarkestInBox(HDC image, const Box& box) {
  COLORREF darkest = RGB(255, 255, 255);
  for (int y = box.top; y <= box.bottom; ++y) {
    for (int x = box.left; x <= box.right; ++x) {
      const COLORREF c = GetPixel(image, x, y);
      if (Brightness(c) < Brightness(darkest)) darkest = c;
    }
  }
  return darkest;
}

bool InColumnBand(COLORREF c, int state, int x) {
  for (int row = 5; row <= 15; ++row) {
    if (Slice(state, x, row) == c) return true;
  }
  return false;
}
}  // namespace

TEST_F(RenderingTest, Button75x25CornersEdgesAndCentreComeFromTheStateSlice) {
  form_ = CreateForm();
  HWND button = CreateButton(form_, L"", 10, 10, 75, 25);
  SkinWindow(form_);
  for (int s = 0; s < 4; ++s) {
    HDC image = StateImage(button, s);
    SCOPED_TRACE(s);
    // Corners one to one.
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(GetPixel(image, x, y), Slice(s, x, y));
        EXPECT_EQ(GetPixel(image, 71 + x, y), Slice(s, 5 + x, y));
        EXPECT_EQ(GetPixel(image, x, 20 + y), Slice(s, x, 16 + y));
        EXPECT_EQ(GetPixel(image, 71 + x, 20 + y), Slice(s, 5 + x, 16 + y));
      }
    }
    // Top and bottom edges repeat the middle column across 67 pixels.
    for (int x = 4; x <= 70; x += 11) {
      for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(GetPixel(image, x, y), Slice(s, 4, y));
        EXPECT_EQ(GetPixel(image, x, 20 + y), Slice(s, 4, 16 + y));
      }
    }
    // Left, right edges and centre: the 11-row band stretched to 15 rows.
    for (int y = 5; y < 20; ++y) {
      for (int x = 0; x < 4; ++x) {
        EXPECT_TRUE(InColumnBand(GetPixel(image, x, y), s, x)) << x << "," << y;
        EXPECT_TRUE(InColumnBand(GetPixel(image, 71 + x, y), s, 5 + x)) << x << "," << y;
      }
      EXPECT_TRUE(InColumnBand(GetPixel(image, 37, y), s, 4)) << y;
    }
    EXPECT_EQ(GetPixel(image, 0, 5), Slice(s, 0, 5));
    EXPECT_EQ(GetPixel(image, 37, 5), Slice(s, 4, 5));
    EXPECT_EQ(GetPixel(image, 37, 19), Slice(s, 4, 15));
    EXPECT_EQ(GetPixel(image, 72, 19), Slice(s, 6, 15));
  }
}

TEST_F(RenderingTest, CaptionSitsCentredAndAtTheSamePlaceInAllFourImages) {
  form_ = CreateForm();
  HWND plain = CreateButton(form_, L"", 10, 10, 75, 25);
  HWND captioned = CreateButton(form_, L"Begin", 10, 50, 75, 25);
  SkinWindow(form_);
  Box first;
  for (int s = 0; s < 4; ++s) {
    const Box text = Difference(StateImage(plain, s), StateImage(captioned, s), 75, 25);
    SCOPED_TRACE(s);
    ASSERT_GT(text.count, 10);
    EXPECT_GE(text.left, 2);
    EXPECT_GE(text.top, 2);
    EXPECT_LE(text.right, 72);
    EXPECT_LE(text.bottom, 22);
    EXPECT_LE(std::abs(text.left - (74 - text.right)), 2);
    EXPECT_LE(std::abs(text.top - (24 - text.bottom)), 3);
    if (s == 0) first = text;
    EXPECT_EQ(text.left, first.left);
    EXPECT_EQ(text.top, first.top);
    EXPECT_EQ(text.right, first.right);
    EXPECT_EQ(text.bottom, first.bottom);
  }
}

TEST_F(RenderingTest, CaptionIsBlackWhenEnabledAndGreyOnTheDisabledImage) {
  form_ = CreateForm();
  HWND plain = CreateButton(form_, L"", 10, 10, 75, 25);
  HWND captioned = CreateButton(form_, L"Begin", 10, 50, 75, 25);
  SkinWindow(form_);
  for (int s = 0; s < 3; ++s) {
    const Box text = Difference(StateImage(plain, s), StateImage(captioned, s), 75, 25);
    EXPECT_EQ(DarkestInBox(StateImage(captioned, s), text), RGB(0, 0, 0)) << s;
  }
  const Box text = Difference(StateImage(plain, 3), StateImage(captioned, 3), 75, 25);
  EXPECT_EQ(DarkestInBox(StateImage(captioned, 3), text), RGB(128, 128, 128));
}

TEST_F(RenderingTest, ChineseCaptionIsReadAndDrawnWhateverTheCodePage) {
  form_ = CreateForm();
  HWND plain = CreateButton(form_, L"", 10, 10, 75, 25);
  HWND chinese = CreateButton(form_, L"\x9009\x62e9", 10, 50, 75, 25);  // 选择
  EXPECT_EQ(WindowText(chinese), L"\x9009\x62e9");
  SkinWindow(form_);
  EXPECT_GT(Difference(StateImage(plain, 0), StateImage(chinese, 0), 75, 25).count, 10);
}

TEST_F(RenderingTest, FocusRectangleOnlyWhileTheButtonHasTheFocus) {
  form_ = CreateForm();
  HWND holder = CreateButton(form_, L"", 100, 10, 75, 25);
  HWND other = CreateButton(form_, L"", 10, 50, 75, 25);
  HWND button = CreateButton(form_, L"", 10, 10, 75, 25);
  SetFocus(holder);
  SkinWindow(form_);
  // Unfocused images equal those of an identical unfocused button.
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(Difference(StateImage(button, s), StateImage(other, s), 75, 25).count, 0) << s;
  }
  SetFocus(button);
  for (int s = 0; s < 4; ++s) {
    const Box focus = Difference(StateImage(button, s), StateImage(other, s), 75, 25);
    SCOPED_TRACE(s);
    ASSERT_GT(focus.count, 40);
    EXPECT_EQ(focus.left, 2);
    EXPECT_EQ(focus.top, 2);
    EXPECT_EQ(focus.right, 72);
    EXPECT_EQ(focus.bottom, 22);
    // Only on the rectangle's outline, the inside is untouched.
    EXPECT_EQ(DifferencesOffOutline(StateImage(button, s), StateImage(other, s)), 0);
  }
  SetFocus(holder);
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(Difference(StateImage(button, s), StateImage(other, s), 75, 25).count, 0) << s;
  }
}

TEST_F(RenderingTest, Button8x10IsExactlyTheFourCorners) {
  form_ = CreateForm();
  HWND button = CreateButton(form_, L"", 10, 10, 8, 10);
  SkinWindow(form_);
  for (int s = 0; s < 4; ++s) {
    HDC image = StateImage(button, s);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 8; ++x) {
        const int sx = x < 4 ? x : x + 1;
        const int sy = y < 5 ? y : y + 11;
        EXPECT_EQ(GetPixel(image, x, y), Slice(s, sx, sy)) << s << ": " << x << "," << y;
      }
    }
  }
}
