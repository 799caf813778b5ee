// Attaching to window trees: dialogs and message boxes, their push buttons,
// their other buttons and their bordered controls.
#include <vector>

#include "skin_test_support.h"

namespace {
// A key pressed in a message box, as the keyboard delivers it to the focused
// control, after a Tab that moves the focus as the dialog manager does.
struct KeyInABox {
  bool tabFirst;
  WORD key;
  int answer;
};
const KeyInABox* g_press = nullptr;
bool g_focusOnOwnerDrawnDefault = false;

void CALLBACK PressKey(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(L"#32770", L"Quirnel");
  if (!box) return;
  KillTimer(nullptr, timer);
  if (g_press->tabFirst) SendMessageW(box, WM_NEXTDLGCTL, 0, 0);
  g_focusOnOwnerDrawnDefault =
      ButtonType(GetFocus()) == BS_OWNERDRAW && (SendMessageW(GetFocus(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
  PostMessageW(GetFocus(), WM_KEYDOWN, g_press->key, 1);
  PostMessageW(GetFocus(), WM_KEYUP, g_press->key, 0xC0000001);
}

// A subclass of the program's own, as the window puts on its link: it counts
// the WM_USER messages it sees.
LRESULT CALLBACK CountingSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR seen) {
  if (message == WM_USER) ++*reinterpret_cast<int*>(seen);
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, CountingSubclass, 1);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}
}  // namespace

// The open dialog's read-only check box lost its tick once it was skinned.
TEST_F(SkinTest, AttachAndDetachAreIdempotentAndLeaveCheckBoxesAndRadioButtonsAlone) {
  form_ = CreateForm();
  HWND dialog = CreateChild(form_, WC_DIALOG, L"", 0, 0, 400, 200);
  HWND plain = CreateChild(dialog, L"Button", L"One", 10, 10);
  HWND edit = CreateChild(dialog, L"Edit", L"", 10, 50, 200, 24, 0, WS_EX_CLIENTEDGE);
  HWND check = CreateChild(dialog, L"Button", L"Read only", 10, 90, 120, 20, BS_AUTOCHECKBOX);
  HWND radio = CreateChild(dialog, L"Button", L"Radio", 10, 120, 120, 20, BS_AUTORADIOBUTTON);
  Pump();
  const LONG_PTR buttonProc = GetWindowLongPtrW(plain, GWLP_WNDPROC);
  EXPECT_TRUE(SkinWindow(dialog));
  EXPECT_FALSE(SkinWindow(dialog));
  HWND added = CreateChild(dialog, L"Button", L"Two", 100, 10, 75, 25, BS_DEFPUSHBUTTON);
  EXPECT_FALSE(SkinWindow(dialog));  // hooked already; only the new button is set up
  EXPECT_EQ(State().skinnedButtonCount, 2);
  EXPECT_EQ(State().hookedHostCount, 1);
  EXPECT_EQ(ScreenPixel(edit, 100, 0), RGB(84, 165, 213));  // the flat frame
  EXPECT_TRUE(HasWindowRegion(plain));                      // the rounded corners
  for (HWND button : {check, radio}) {
    EXPECT_EQ(PropCount(button), 0);
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(button, BM_GETCHECK, 0, 0), BST_CHECKED);
  }
  EXPECT_TRUE(UnskinWindow(dialog));
  EXPECT_FALSE(UnskinWindow(dialog));
  EXPECT_EQ(GetWindowLongPtrW(plain, GWLP_WNDPROC), buttonProc);
  for (HWND window : {plain, added, edit, dialog}) EXPECT_EQ(PropCount(window), 0);
  EXPECT_EQ(ButtonType(plain), BS_PUSHBUTTON);
  EXPECT_EQ(ButtonType(added), BS_DEFPUSHBUTTON);
  for (HWND button : {plain, added}) EXPECT_FALSE(HasWindowRegion(button));
  EXPECT_NE(ScreenPixel(edit, 100, 0), RGB(84, 165, 213));  // its own edge is back at once
  const bool directly[] = {SkinWindow(plain), SkinWindow(plain), UnskinWindow(plain), UnskinWindow(plain)};
  EXPECT_EQ(std::vector<bool>(directly, directly + 4), (std::vector<bool>{true, false, true, false}));
  EXPECT_FALSE(HasWindowRegion(plain));
}

// The skin once put back the procedure it had replaced when it came off,
// dropping every subclass installed after it. The host here is of a class
// the skin does not know, attached as the window attaches itself.
TEST_F(SkinTest, ASubclassInstalledAfterTheSkinKeepsWorkingWhileTheSkinComesOffAndBack) {
  const struct {
    bool (*change)(HWND);
    bool result;
    bool skinned;
  } steps[] = {{SkinHostWindow, true, true},  {UnskinWindow, true, false}, {SkinHostWindow, true, true},
               {SkinHostWindow, false, true}, {UnskinWindow, true, false}, {UnskinWindow, false, false}};
  form_ = CreateForm();
  HWND host = CreateChild(form_, L"Static", L"", 0, 0, 400, 200, WS_CLIPCHILDREN);
  HWND button = CreateChild(host, L"Button", L"Begin", 10, 10);
  HWND edit = CreateChild(host, L"Edit", L"", 10, 50, 200, 24, 0, WS_EX_CLIENTEDGE);
  int seen[2] = {};
  for (const auto& step : steps) {
    SCOPED_TRACE(&step - steps);
    EXPECT_EQ(step.change(host), step.result);
    if (&step == steps) {
      SetWindowSubclass(button, CountingSubclass, 1, reinterpret_cast<DWORD_PTR>(&seen[0]));
      SetWindowSubclass(edit, CountingSubclass, 1, reinterpret_cast<DWORD_PTR>(&seen[1]));
    }
    Pump();
    const int before[2] = {seen[0], seen[1]};
    for (HWND control : {button, edit}) SendMessageW(control, WM_USER, 0, 0);
    EXPECT_EQ(seen[0], before[0] + 1);
    EXPECT_EQ(seen[1], before[1] + 1);
    SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const SkinnedButton* skin = SkinnedButtonOf(button);
    ASSERT_EQ(skin != nullptr, step.skinned);
    if (skin) {
      EXPECT_EQ(skin->ShownState(), kStateHover);  // the skin still sees the button's messages
    }
    EXPECT_EQ(ButtonType(button), step.skinned ? BS_OWNERDRAW : BS_PUSHBUTTON);
    EXPECT_EQ(HasWindowRegion(button), step.skinned);
    EXPECT_EQ(ScreenPixel(edit, 100, 0) == RGB(84, 165, 213), step.skinned);  // the flat frame
    EXPECT_EQ(State().hookedHostCount, step.skinned ? 1 : 0);
  }
}

// Enter pressed the box's first default button, whichever had the focus.
TEST_F(SkinTest, EnterAndSpacePressTheFocusedButtonOfASkinnedMessageBox) {
  const KeyInABox presses[] = {
      {false, VK_RETURN, IDYES}, {true, VK_RETURN, IDNO}, {true, VK_SPACE, IDNO}, {false, VK_SPACE, IDYES}};
  form_ = CreateForm(true);
  CreateChild(form_, L"Button", L"Begin", 10, 10);
  SkinWindow(form_);
  for (const KeyInABox& press : presses) {
    g_press = &press;
    SetTimer(nullptr, 0, 20, PressKey);
    const int answer = MessageBoxW(form_, L"\x662f\x5426\xff1f", L"Quirnel", MB_YESNO);
    SCOPED_TRACE(&press - presses);
    EXPECT_EQ(answer, press.answer);
    EXPECT_TRUE(g_focusOnOwnerDrawnDefault);
    Pump();
    EXPECT_EQ(State().hookedHostCount, 1);  // the closed box is unhooked, its buttons unskinned
    EXPECT_EQ(State().skinnedButtonCount, 1);
  }
}
