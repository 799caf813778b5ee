// What users saw go wrong under Wine: stale captions, a disabled button that
// lit up, check boxes that never ticked, Enter pressing the wrong button.
#include <gtest/gtest.h>

#include <vector>

#include "skin_attach.h"
#include "skin_internal.h"
#include "skin_test_support.h"

using namespace skin;

namespace {
class FaultTest : public SkinTest {};

// Screen pixels of two windows of the same size that differ.
int DifferingPixels(HWND a, HWND b) {
  RECT r{};
  GetWindowRect(a, &r);
  int differing = 0;
  for (int y = 0; y < r.bottom - r.top; ++y) {
    for (int x = 0; x < r.right - r.left; ++x) {
      if (ScreenPixel(a, x, y) != ScreenPixel(b, x, y)) ++differing;
    }
  }
  return differing;
}

HDC Image(HWND button, int state) {
  return reinterpret_cast<HDC>(PropValue(button, (L"HDC" + std::to_wstring(state)).c_str()));
}

// Wine keeps no keyboard-cue state (WM_QUERYUISTATE answers 0 whatever was
// set), so this procedure stands in for a system that hides the underline.
WNDPROC g_buttonProc = nullptr;
LRESULT g_cues = 0;
LRESULT CALLBACK KeepsKeyboardCues(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_UPDATEUISTATE) g_cues = LOWORD(wParam) == UIS_SET ? HIWORD(wParam) : 0;
  if (msg == WM_QUERYUISTATE) return g_cues;
  return CallWindowProcW(g_buttonProc, hwnd, msg, wParam, lParam);
}

void RunFade(HWND button) {
  for (int i = 0; i < 100 && PropValue(button, L"TIMERID") != 0; ++i) {
    SendMessageW(button, WM_TIMER, 1, 0);
  }
}
}  // namespace

TEST_F(FaultTest, ButtonShowsANewCaptionFontOrKeyboardCueAtOnce) {
  const WPARAM hideCues = MAKEWPARAM(UIS_SET, UISF_HIDEACCEL);
  const HGDIOBJ bigFont = GetStockObject(SYSTEM_FONT);
  const struct {
    const wchar_t* before;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const wchar_t* after;
    HGDIOBJ afterFont;
  } cases[] = {
      {L"Open", WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Save"), L"Save", nullptr},
      {L"Save", WM_SETFONT, reinterpret_cast<WPARAM>(bigFont), TRUE, L"Save", bigFont},
      {L"&Save", WM_UPDATEUISTATE, hideCues, 0, L"Save", nullptr},
  };
  form_ = CreateForm();
  for (const auto& c : cases) {
    HWND changed = CreateButton(form_, c.before, 10, 10, 75, 25);
    g_cues = 0;
    g_buttonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(changed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeepsKeyboardCues)));
    HWND reference = CreateButton(form_, c.after, 100, 10, 75, 25);
    if (c.afterFont) SendMessageW(reference, WM_SETFONT, reinterpret_cast<WPARAM>(c.afterFont), 0);
    SkinWindow(form_);
    Pump();
    SendMessageW(changed, c.message, c.wParam, c.lParam);
    EXPECT_EQ(DifferingPixels(changed, reference), 0) << c.message;
    DestroyWindow(changed);
    DestroyWindow(reference);
  }
}

TEST_F(FaultTest, DisabledButtonKeepsItsDisabledImageWhateverTheMouseDoes) {
  form_ = CreateForm();
  HWND button = CreateButton(form_, L"Begin", 10, 10, 75, 25);
  SkinWindow(form_);
  SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EnableWindow(button, FALSE);
  for (UINT message : {WM_MOUSELEAVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSELEAVE}) {
    SendMessageW(button, message, 0, MAKELPARAM(5, 5));
  }
  RunFade(button);
  EXPECT_EQ(PropValue(button, L"OLDSTATE"), 3);
  for (POINT p : {POINT{1, 1}, POINT{37, 3}, POINT{2, 21}}) {
    EXPECT_EQ(ScreenPixel(button, p.x, p.y), GetPixel(Image(button, 3), p.x, p.y));
  }
  EnableWindow(button, TRUE);
  EXPECT_EQ(PropValue(button, L"OLDSTATE"), 0);
}

TEST_F(FaultTest, CheckBoxAndRadioButtonInADialogStayUnskinnedAndTick) {
  form_ = CreateForm();
  HWND dialog = CreateControl(form_, WC_DIALOG, L"", WS_CLIPCHILDREN, 0, 0, 300, 150);
  HWND check = CreateButton(dialog, L"Read only", 10, 10, 120, 20, BS_AUTOCHECKBOX, 10);
  HWND radio = CreateButton(dialog, L"Radio", 10, 40, 120, 20, BS_AUTORADIOBUTTON, 11);
  HWND push = CreateButton(dialog, L"OK", 10, 70, 75, 25, BS_DEFPUSHBUTTON, IDOK);
  SkinWindow(dialog);
  EXPECT_TRUE(HasProp(push, L"PROCADDR"));
  for (HWND box : {check, radio}) {
    EXPECT_TRUE(SkinPropsOn(box).empty());
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  }
  UnskinWindow(dialog);
}

namespace {
// Keys typed into a message box, one per timer tick, as a person would.
struct KeyScript {
  std::vector<WORD> keys;
  size_t next = 0;
  int idleTicks = 0;
  bool buttonsSkinned = false;
  bool focusedStaysOwnerDrawn = true;
  bool focusedIsDefault = true;
};
KeyScript g_keys;

BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM result) {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(result) = hwnd;
  return FALSE;
}

HWND VisibleMessageBox() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

void Type(WORD key) {
  INPUT input[2] = {};
  for (INPUT& in : input) {
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
  }
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

void CALLBACK TypeNextKey(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = VisibleMessageBox();
  if (!box) return;
  HWND focus = GetFocus();
  if (g_keys.next == 0) {
    g_keys.buttonsSkinned = HasProp(GetDlgItem(box, IDYES), L"PROCADDR") &&
                            HasProp(GetDlgItem(box, IDNO), L"PROCADDR");
  } else if (focus) {
    g_keys.focusedStaysOwnerDrawn &= (GetWindowLongPtrW(focus, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
    g_keys.focusedIsDefault &= (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0;
  }
  if (g_keys.next < g_keys.keys.size()) {
    Type(g_keys.keys[g_keys.next++]);
  } else if (++g_keys.idleTicks > 40) {
    EndDialog(box, 99);  // the keys did not close it
  }
}
}  // namespace

TEST_F(FaultTest, EnterAndSpacePressTheFocusedButtonOfASkinnedMessageBox) {
  const struct {
    std::vector<WORD> keys;
    int answer;
  } cases[] = {
      {{VK_RETURN}, IDYES},
      {{VK_TAB, VK_RETURN}, IDNO},
      {{VK_TAB, VK_SPACE}, IDNO},
      {{VK_SPACE}, IDYES},
  };
  form_ = CreateForm(400, 200, true);
  CreateButton(form_, L"Begin", 10, 10, 75, 25);
  SkinWindow(form_);
  for (const auto& c : cases) {
    g_keys = KeyScript{c.keys};
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, TypeNextKey);
    const int answer = MessageBoxW(form_, L"\x662f\x5426\xff1f", L"Quirnel", MB_YESNO);
    KillTimer(nullptr, timer);
    Pump();
    EXPECT_EQ(answer, c.answer) << c.keys.size() << " keys, last " << c.keys.back();
    EXPECT_TRUE(g_keys.buttonsSkinned);
    EXPECT_TRUE(g_keys.focusedStaysOwnerDrawn);
    EXPECT_TRUE(g_keys.focusedIsDefault);
    EXPECT_EQ(State().HookedHostCount, 1);
    EXPECT_EQ(State().SkinnedButtonCount, 1);
  }
}
