// The template as built in a real memory DC, read back pixel by pixel.
#include <gtest/gtest.h>

#include "skin_attach.h"
#include "skin_internal.h"
#include "skin_test_support.h"
#include "skin_core.h"
#include "template_digest.h"

using namespace skin;

namespace {
class TemplateTest : public SkinTest {};

void ExpectTemplatePixelsEqualTheTable() {
  ASSERT_EQ(GetObjectType(State().SkinTemplateDC), static_cast<DWORD>(OBJ_MEMDC));
  int wrong = 0;
  for (int y = 0; y < kTemplateHeight; ++y) {
    for (int x = 0; x < kTemplateWidth; ++x) {
      const COLORREF got = GetPixel(State().SkinTemplateDC, x, y);
      if (got != kTemplateColors[y][x] && ++wrong < 10) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << got;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(TemplateDigest([](int x, int y) { return GetPixel(State().SkinTemplateDC, x, y); }),
            kExpectedTemplateDigest);
}
}  // namespace

TEST_F(TemplateTest, AllPixelsReadBackAsTheTableAndTheIndependentDigest) {
  form_ = CreateForm();
  SkinWindow(form_);
  ExpectTemplatePixelsEqualTheTable();
  BITMAP image{};
  GetObjectW(GetCurrentObject(State().SkinTemplateDC, OBJ_BITMAP), sizeof(image), &image);
  EXPECT_EQ(image.bmWidth, 9);
  EXPECT_EQ(image.bmHeight, 84);
}

TEST_F(TemplateTest, SecondSkinWindowKeepsTheTemplate) {
  form_ = CreateForm();
  SkinWindow(form_);
  HDC first = State().SkinTemplateDC;
  HBITMAP image = State().templateImage.Get();
  SkinWindow(form_);
  EXPECT_EQ(State().SkinTemplateDC, first);
  EXPECT_EQ(State().templateImage.Get(), image);
}

TEST_F(TemplateTest, ReleasedWithTheLastHostAndRebuiltWithTheSamePixels) {
  form_ = CreateForm();
  SkinWindow(form_);
  HDC old_dc = State().SkinTemplateDC;
  HBITMAP old_image = State().templateImage.Get();
  UnskinWindow(form_);
  EXPECT_FALSE(State().SkinInitialized);
  // Both the DC and the image it held are gone.
  EXPECT_EQ(GetObjectType(old_dc), 0u);
  EXPECT_EQ(GetObjectType(old_image), 0u);
  SkinWindow(form_);
  EXPECT_TRUE(State().SkinInitialized);
  ExpectTemplatePixelsEqualTheTable();
}

TEST_F(TemplateTest, AWindowOfAnIgnoredClassStillBringsTheTemplateUp) {
  form_ = CreateForm();
  HWND edit = CreateControl(form_, L"Edit", L"", WS_BORDER, 10, 10, 100, 20);
  EXPECT_EQ(SkinWindow(edit), 0);
  EXPECT_TRUE(State().SkinInitialized);
  EXPECT_TRUE(State().HasUser32TrackMouseEvent);
  EXPECT_FALSE(HasProp(edit, L"PROCADDR"));
  ExpectTemplatePixelsEqualTheTable();
}
