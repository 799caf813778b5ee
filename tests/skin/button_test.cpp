// A skinned button as the screen shows it: the state each event leads to,
// drawn in nine pieces from the template, its caption, and a new look
// whenever the caption, font, keyboard cues, style or size change.
#include <algorithm>

#include "skin_test_support.h"

namespace {
// One letter per event: M mouse move, L mouse leave, D/U left button down/up,
// S/s space key down/up, K another key, F/f focus to the button/elsewhere,
// E/X enable/disable.
void Apply(HWND button, HWND elsewhere, char event) {
  if (event == 'F' || event == 'f') SetFocus(event == 'F' ? button : elsewhere);
  if (event == 'E' || event == 'X') EnableWindow(button, event == 'E');
  const struct {
    char event;
    UINT message;
    WPARAM wParam;
  } sent[] = {{'M', WM_MOUSEMOVE, 0}, {'L', WM_MOUSELEAVE, 0},     {'D', WM_LBUTTONDOWN, MK_LBUTTON},
              {'U', WM_LBUTTONUP, 0}, {'S', WM_KEYDOWN, VK_SPACE}, {'s', WM_KEYUP, VK_SPACE},
              {'K', WM_KEYDOWN, 'A'}};
  for (const auto& s : sent) {
    if (s.event == event) SendMessageW(button, s.message, s.wParam, MAKELPARAM(5, 5));
  }
}

// The box around the screen pixels where two windows of one size differ.
RECT Difference(HWND a, HWND b) {
  WindowBounds size{};
  GetWindowBounds(a, size);
  RECT box{size.width, size.height, 0, 0};
  for (int y = 0; y < size.height; ++y) {
    for (int x = 0; x < size.width; ++x) {
      if (ScreenPixel(a, x, y) == ScreenPixel(b, x, y)) continue;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1), y + 1};
    }
  }
  return box;
}

// Wine keeps no keyboard-cue state (WM_QUERYUISTATE answers 0 whatever was
// set), so this procedure stands in for a system that hides the underline.
WNDPROC g_buttonProc = nullptr;
LRESULT g_cues = 0;
LRESULT CALLBACK KeepsKeyboardCues(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_UPDATEUISTATE) g_cues = LOWORD(wParam) == UIS_SET ? HIWORD(wParam) : 0;
  if (message == WM_QUERYUISTATE) return g_cues;
  return CallWindowProcW(g_buttonProc, hwnd, message, wParam, lParam);
}

WPARAM BigFont() { return reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)); }
}  // namespace

TEST_F(SkinTest, EachEventShowsItsStateInNinePiecesOfTheTemplateWithACentredCaption) {
  const struct {
    const char* events;
    int state;
  } cases[] = {
      {"", kStateNormal},           {"M", kStateHover},     {"MM", kStateHover},
      {"ML", kStateNormal},         {"MD", kStatePressed},  {"MDU", kStateNormal},
      {"MDUM", kStateHover},        {"S", kStatePressed},   {"SK", kStatePressed},
      {"Ss", kStateNormal},         {"MF", kStateHover},    {"Ff", kStateNormal},
      {"MX", kStateDisabled},       {"MXLE", kStateNormal}, {"XMEM", kStateHover},
      {"MDXULMSF", kStateDisabled},  // disabled by its own click, whatever follows
  };
  form_ = CreateForm();
  HWND blank = CreateChild(form_, L"Button", L"", 100, 10);
  SkinWindow(blank);
  UpdateWindow(blank);
  for (const auto& c : cases) {
    SetFocus(form_);
    HWND button = CreateChild(form_, L"Button", L"Begin", 10, 10);
    SkinWindow(button);
    UpdateWindow(button);
    for (const char* event = c.events; *event; ++event) Apply(button, form_, *event);
    const SkinnedButton* skin = SkinnedButtonOf(button);
    ASSERT_NE(skin, nullptr) << c.events;
    for (int tick = 0; tick < 100 && skin->Fading(); ++tick) SendMessageW(button, WM_TIMER, kFadeTimerId, 0);
    EXPECT_EQ(skin->ShownState(), c.state) << c.events;
    // Screen point -> point of the state's slice: corners one to one, the
    // middle column and band stretched.
    const POINT pairs[][2] = {{{1, 1}, {1, 1}},  {{73, 1}, {7, 1}},  {{10, 3}, {4, 3}},  {{0, 12}, {0, 10}},
                              {{10, 5}, {4, 5}}, {{1, 23}, {1, 19}}, {{10, 19}, {4, 15}}};
    for (const auto& p : pairs) {
      EXPECT_EQ(ScreenPixel(button, p[0].x, p[0].y),
                GetPixel(State().skinTemplate.Get(), p[1].x, kSliceHeight * c.state + p[1].y))
          << c.events << " at " << p[0].x << "," << p[0].y;
    }
    if (!*c.events) {  // the caption, centred inside the border
      const RECT text = Difference(button, blank);
      EXPECT_GT(text.right - text.left, 10);
      EXPECT_LE(std::abs(text.left - (75 - text.right)), 2);
      EXPECT_LE(std::abs(text.top - (25 - text.bottom)), 3);
    }
    DestroyWindow(button);
  }
}

// The save dialog renames its OK button once it is made (and skinned), and
// the dialog manager moves the default. A change made to a skinned button
// must look as on a "Save" button that had it before it was skinned.
TEST_F(SkinTest, ButtonShowsANewCaptionFontKeyboardCueStyleOrSizeAtOnce) {
  const struct {
    const wchar_t* before;
    void (*change)(HWND);
  } cases[] = {
      {L"Open", [](HWND b) { SetWindowTextW(b, L"Save"); }},
      {L"Save", [](HWND b) { SendMessageW(b, WM_SETFONT, BigFont(), TRUE); }},
      {L"&Save", [](HWND b) { SendMessageW(b, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL), 0); }},
      {L"Save", [](HWND b) { SendMessageW(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE); }},
      {L"Save", [](HWND b) { SetWindowPos(b, nullptr, 0, 0, 90, 25, SWP_NOMOVE | SWP_NOZORDER); }},
  };
  form_ = CreateForm();
  for (const auto& c : cases) {
    HWND changed = CreateChild(form_, L"Button", c.before, 10, 10);
    HWND reference = CreateChild(form_, L"Button", L"Save", 110, 10);
    c.change(reference);
    g_cues = 0;
    g_buttonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(changed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeepsKeyboardCues)));
    SkinWindow(form_);
    Pump();
    c.change(changed);
    Pump();
    const RECT difference = Difference(changed, reference);
    EXPECT_TRUE(IsRectEmpty(&difference)) << c.before;
    DestroyWindow(changed);
    DestroyWindow(reference);
  }
}
