// Attaching to and detaching from real window trees.
#include <gtest/gtest.h>

#include "skin_attach.h"
#include "skin_internal.h"
#include "skin_test_support.h"

using namespace skin;

namespace {
class AttachTest : public SkinTest {};

const wchar_t* const kButtonProps[] = {L"PROCADDR", L"HDC0", L"HDC1", L"HDC2", L"HDC3",
                                       L"BMP0",     L"BMP1", L"BMP2", L"BMP3", L"MOUSEFLAG",
                                       L"TIMERID",  L"OLDSTATE", L"ALPHALEVEL", L"DEFBUTTON"};

LONG_PTR ButtonType(HWND button) { return GetWindowLongPtrW(button, GWL_STYLE) & 0x0F; }

bool HasRegion(HWND hwnd) {
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetWindowRgn(hwnd, probe);
  DeleteObject(probe);
  return kind != ERROR;
}
}  // namespace

TEST_F(AttachTest, SkinSetsTheButtonsPropertiesAndUnskinRemovesThemAll) {
  form_ = CreateForm();
  HWND button = CreateButton(form_, L"OK", 10, 10, 75, 25);
  HWND edit = CreateControl(form_, L"Edit", L"", 0, 10, 50, 200, 22, 0, WS_EX_CLIENTEDGE);
  const LONG_PTR button_proc = GetWindowLongPtrW(button, GWLP_WNDPROC);
  const LONG_PTR edit_proc = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  const LONG_PTR form_proc = GetWindowLongPtrW(form_, GWLP_WNDPROC);

  EXPECT_EQ(SkinWindow(form_), 1);
  EXPECT_EQ(State().SkinnedButtonCount, 1);
  EXPECT_EQ(State().HookedHostCount, 1);
  EXPECT_EQ(SkinPropsOn(button).size(), std::size(kButtonProps));
  EXPECT_EQ(PropValue(button, L"PROCADDR"), button_proc);
  HDC images[4];
  HBITMAP bitmaps[4];
  for (int n = 0; n < 4; ++n) {
    images[n] = reinterpret_cast<HDC>(PropValue(button, (L"HDC" + std::to_wstring(n)).c_str()));
    bitmaps[n] =
        reinterpret_cast<HBITMAP>(PropValue(button, (L"BMP" + std::to_wstring(n)).c_str()));
    EXPECT_EQ(GetObjectType(images[n]), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(images[n], OBJ_BITMAP), bitmaps[n]);
    BITMAP info{};
    GetObjectW(bitmaps[n], sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 75);
    EXPECT_EQ(info.bmHeight, 25);
  }
  EXPECT_EQ(PropValue(button, L"OLDSTATE"), 0);
  EXPECT_EQ(PropValue(button, L"MOUSEFLAG"), 0);
  EXPECT_EQ(PropValue(button, L"TIMERID"), 0);
  EXPECT_EQ(PropValue(button, L"ALPHALEVEL"), 0);
  EXPECT_EQ(ButtonType(button), BS_OWNERDRAW);
  EXPECT_TRUE(HasRegion(button));
  EXPECT_EQ(SkinPropsOn(edit), std::vector<std::wstring>{L"PROCADDR"});
  EXPECT_EQ(SkinPropsOn(form_), std::vector<std::wstring>{L"PROCADDR"});
  EXPECT_EQ(PropValue(edit, L"PROCADDR"), edit_proc);
  EXPECT_EQ(PropValue(form_, L"PROCADDR"), form_proc);

  EXPECT_EQ(UnskinWindow(form_), 1);
  EXPECT_EQ(State().SkinnedButtonCount, 0);
  EXPECT_EQ(State().HookedHostCount, 0);
  EXPECT_FALSE(State().SkinInitialized);
  for (HWND w : {button, edit, form_}) EXPECT_TRUE(SkinPropsOn(w).empty());
  EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), button_proc);
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), edit_proc);
  EXPECT_EQ(GetWindowLongPtrW(form_, GWLP_WNDPROC), form_proc);
  EXPECT_EQ(ButtonType(button), BS_PUSHBUTTON);
  EXPECT_FALSE(HasRegion(button));
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(GetObjectType(images[n]), 0u) << n;
    EXPECT_EQ(GetObjectType(bitmaps[n]), 0u) << n;
  }
}

TEST_F(AttachTest, SecondSkinWindowOnlyPicksUpWhatIsNew) {
  form_ = CreateForm();
  HWND first = CreateButton(form_, L"One", 10, 10, 75, 25);
  SkinWindow(form_);
  const std::intptr_t image = PropValue(first, L"HDC0");
  EXPECT_EQ(SkinWindow(form_), 0);
  EXPECT_EQ(State().SkinnedButtonCount, 1);
  EXPECT_EQ(State().HookedHostCount, 1);
  EXPECT_EQ(PropValue(first, L"HDC0"), image);

  HWND second = CreateButton(form_, L"Two", 100, 10, 75, 25);
  SkinWindow(form_);
  EXPECT_TRUE(HasProp(second, L"PROCADDR"));
  EXPECT_EQ(State().SkinnedButtonCount, 2);
  EXPECT_EQ(State().HookedHostCount, 1);
  EXPECT_EQ(PropValue(first, L"HDC0"), image);
}

TEST_F(AttachTest, AButtonInsideAFrameIsSkinnedAndTheFrameHooked) {
  form_ = CreateForm();
  HWND frame = CreateControl(form_, L"Static", L"", 0, 10, 10, 200, 100, 0, WS_EX_CONTROLPARENT);
  HWND inner = CreateButton(frame, L"Inner", 10, 10, 75, 25);
  SkinWindow(form_);
  EXPECT_EQ(SkinPropsOn(inner).size(), 14u);
  EXPECT_EQ(SkinPropsOn(frame), std::vector<std::wstring>{L"PROCADDR"});
  EXPECT_EQ(State().SkinnedButtonCount, 1);
  UnskinWindow(form_);
  EXPECT_TRUE(SkinPropsOn(inner).empty());
  EXPECT_TRUE(SkinPropsOn(frame).empty());
}

TEST_F(AttachTest, DisabledButtonStartsInTheDisabledState) {
  form_ = CreateForm();
  HWND button = CreateButton(form_, L"Off", 10, 10, 75, 25, BS_PUSHBUTTON | WS_DISABLED);
  SkinWindow(form_);
  EXPECT_TRUE(HasProp(button, L"OLDSTATE"));
  EXPECT_EQ(PropValue(button, L"OLDSTATE"), 3);
}

TEST_F(AttachTest, DefaultPushButtonComesBackAsADefaultPushButton) {
  form_ = CreateForm();
  HWND button = CreateButton(form_, L"Default", 10, 10, 75, 25, BS_DEFPUSHBUTTON);
  const LONG_PTR other_bits = GetWindowLongPtrW(button, GWL_STYLE) & ~0xFF;
  SkinWindow(form_);
  UnskinWindow(form_);
  EXPECT_EQ(ButtonType(button), BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongPtrW(button, GWL_STYLE) & ~0xFF, other_bits);
}

TEST_F(AttachTest, UnskinOfAWindowNeverAttachedDoesNothing) {
  form_ = CreateForm();
  HWND button = CreateButton(form_, L"OK", 10, 10, 75, 25);
  EXPECT_EQ(UnskinWindow(form_), 0);
  EXPECT_EQ(UnskinWindow(button), 0);
  EXPECT_EQ(State().SkinnedButtonCount, 0);
  EXPECT_EQ(State().HookedHostCount, 0);
  EXPECT_TRUE(SkinPropsOn(button).empty());
}

TEST_F(AttachTest, TemplateStaysWhileTheHostIsHookedAndGoesWithIt) {
  form_ = CreateForm();
  HWND button = CreateButton(form_, L"OK", 10, 10, 75, 25);
  SkinWindow(form_);
  HDC template_dc = State().SkinTemplateDC;
  DestroyWindow(button);
  EXPECT_EQ(State().SkinnedButtonCount, 0);
  EXPECT_TRUE(State().SkinInitialized);
  EXPECT_EQ(GetObjectType(template_dc), static_cast<DWORD>(OBJ_MEMDC));
  UnskinWindow(form_);
  EXPECT_FALSE(State().SkinInitialized);
  EXPECT_EQ(GetObjectType(template_dc), 0u);
}

TEST_F(AttachTest, DestroyingAHookedFormTakesItAllDownAndItsProcedureStillSeesWmDestroy) {
  form_ = CreateForm();
  CreateButton(form_, L"OK", 10, 10, 75, 25);
  CreateControl(form_, L"Edit", L"", 0, 10, 50, 200, 22, 0, WS_EX_CLIENTEDGE);
  SkinWindow(form_);
  DestroyWindow(form_);
  form_ = nullptr;
  EXPECT_EQ(g_form_log.destroys, 1);
  EXPECT_EQ(State().SkinnedButtonCount, 0);
  EXPECT_EQ(State().HookedHostCount, 0);
  EXPECT_FALSE(State().SkinInitialized);
}

TEST_F(AttachTest, SkinningAButtonDirectly) {
  form_ = CreateForm();
  HWND button = CreateButton(form_, L"OK", 10, 10, 75, 25);
  EXPECT_EQ(SkinWindow(button), 1);
  EXPECT_EQ(SkinWindow(button), 0);
  EXPECT_EQ(State().SkinnedButtonCount, 1);
  EXPECT_EQ(State().HookedHostCount, 0);
  EXPECT_EQ(UnskinWindow(button), 1);
  EXPECT_EQ(UnskinWindow(button), 0);
  EXPECT_FALSE(State().SkinInitialized);
}

TEST_F(AttachTest, ExportProbe) {
  EXPECT_EQ(GetWindowClass(nullptr), L"");
}
