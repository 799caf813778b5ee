// No GDI object outlives the skin, even when the system runs out of them.
#include <cstdint>
#include <vector>

#include "skin_test_support.h"

namespace {
// GDI objects alive in this process. Wine's GetGuiResources answers 0, and
// where its handle table lies differs between 32- and 64-bit processes; but
// Wine finds an object by the low word of its handle alone, so asking each
// of the 65,535 low words for its object type counts the live ones the same
// way in both. Windows answers GetGuiResources itself.
int LiveGdiObjects() {
  if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(count);
  int live = 0;
  for (std::uintptr_t low = 1; low <= 0xFFFF; ++low) live += GetObjectType(reinterpret_cast<HGDIOBJ>(low)) != 0;
  return live;
}

// A form with two buttons and a bordered box, skinned, used (hover, press,
// resize, disable, rename, frame repainted), then detached or destroyed.
void SkinUseAndDropAWindow(bool detachFirst) {
  HWND form = CreateForm();
  HWND button = CreateChild(form, L"Button", L"Begin", 10, 10);
  CreateChild(form, L"Button", L"\x9009\x62e9", 100, 10);
  HWND edit = CreateChild(form, L"Edit", L"", 10, 50, 200, 24, 0, WS_EX_CLIENTEDGE);
  SkinWindow(form);
  for (UINT message : {WM_MOUSEMOVE, WM_TIMER, WM_LBUTTONDOWN}) SendMessageW(button, message, 1, MAKELPARAM(5, 5));
  SetWindowPos(button, nullptr, 0, 0, 80, 30, SWP_NOMOVE | SWP_NOZORDER);
  EnableWindow(button, FALSE);
  SetWindowTextW(button, L"Save");
  RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  if (detachFirst) UnskinWindow(form);
  DestroyWindow(form);
  Pump();
}
}  // namespace

TEST_F(SkinTest, GdiObjectCountIsBackWhereItWasAfterManyWindowsAndWhenObjectsRunOut) {
  SkinUseAndDropAWindow(true);  // the system's own objects, made on first use
  const int before = LiveGdiObjects();
  win32::Brush probe(CreateSolidBrush(0));
  ASSERT_EQ(LiveGdiObjects(), before + 1);  // the count is a count
  probe.Reset();
  for (int cycle = 0; cycle < 20; ++cycle) SkinUseAndDropAWindow(cycle % 2 == 0);
  EXPECT_EQ(LiveGdiObjects(), before);

  // With the handle table full, a resize fails and keeps the old images; with
  // three handles left, making a button's images fails part way.
  form_ = CreateForm();
  HWND button = CreateChild(form_, L"Button", L"Begin", 10, 10);
  HWND late = CreateChild(form_, L"Button", L"Late", 100, 10);
  SkinWindow(button);
  const int skinned = LiveGdiObjects();
  std::vector<win32::Brush> filler;
  while (win32::Brush brush{CreateSolidBrush(0)}) filler.push_back(std::move(brush));
  SendMessageW(button, WM_SIZE, 0, 0);
  filler.resize(filler.size() - 3);
  EXPECT_FALSE(SkinWindow(late));
  filler.clear();
  EXPECT_EQ(LiveGdiObjects(), skinned);
  EXPECT_EQ(PropCount(late), 0);
  ASSERT_NE(SkinnedButtonOf(button), nullptr);
  EXPECT_NE(GetPixel(SkinnedButtonOf(button)->Image(kStateNormal), 1, 1), CLR_INVALID);
  UnskinWindow(button);
  EXPECT_EQ(LiveGdiObjects(), before);
}
