#include "skin_template.h"

#include <windows.h>

#include "skin_state.h"
#include "template_colors.h"

void BuildSkinTemplate() {
  // Compatible with the screen, so that copies onto button images of the
  // screen's format need no conversion.
  HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  SkinTemplateBitmap = CreateCompatibleBitmap(display, kTemplateWidth, kTemplateHeight);
  SkinTemplateDC = CreateCompatibleDC(display);
  // The DC's default bitmap is a stock object; deleting it would do nothing.
  SelectObject(SkinTemplateDC, SkinTemplateBitmap);
  DeleteDC(display);
  for (int y = 0; y < kTemplateHeight; ++y) {
    for (int x = 0; x < kTemplateWidth; ++x) {
      SetPixel(SkinTemplateDC, x, y, kTemplateColors[y][x]);
    }
  }
}

void ReleaseSkinTemplate() {
  if (!SkinInitialized) return;
  // Deleting the DC leaves the image it held, which goes separately.
  DeleteDC(SkinTemplateDC);
  DeleteObject(SkinTemplateBitmap);
  SkinTemplateBitmap = nullptr;
  SkinInitialized = false;
}

void ReleaseSkinTemplateIfUnused() {
  if (SkinnedButtonCount <= 0 && HookedHostCount <= 0) ReleaseSkinTemplate();
}
