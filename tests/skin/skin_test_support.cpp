#include "skin_test_support.h"

#include "skin_internal.h"

using namespace skin;

FormLog g_form_log;

namespace {
LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        g_form_log.clicked_ids.push_back(LOWORD(wparam));
        if (g_form_log.on_click) g_form_log.on_click(reinterpret_cast<HWND>(lparam));
      }
      return 0;
    case WM_DESTROY:
      ++g_form_log.destroys;
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
}

void RegisterFormClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = FormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = L"Form";
  RegisterClassW(&wc);
  registered = true;
}

const wchar_t* const kSkinProps[] = {L"PROCADDR", L"HDC0",     L"HDC1",    L"HDC2",
                                     L"HDC3",     L"BMP0",     L"BMP1",    L"BMP2",
                                     L"BMP3",     L"MOUSEFLAG", L"TIMERID", L"OLDSTATE",
                                     L"ALPHALEVEL", L"DEFBUTTON"};

struct PropSearch {
  const wchar_t* name;
  bool found;
};

BOOL CALLBACK FindProp(HWND, LPWSTR name, HANDLE, ULONG_PTR data) {
  auto* search = reinterpret_cast<PropSearch*>(data);
  // Atom-named properties arrive as integer atoms, not strings.
  if (IS_INTRESOURCE(name)) {
    wchar_t text[64] = {};
    if (!GlobalGetAtomNameW(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name)), text, 64)) {
      return TRUE;
    }
    if (_wcsicmp(text, search->name) == 0) search->found = true;
  } else if (_wcsicmp(name, search->name) == 0) {
    search->found = true;
  }
  return TRUE;
}
}  // namespace

HWND TestDesk() {
  // Wine without a window manager spends two seconds destroying a top-level
  // window, so most test forms live as children of one lasting window.
  static HWND desk = nullptr;
  if (desk) return desk;
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = L"QuirnelTestDesk";
  RegisterClassW(&wc);
  desk = CreateWindowExW(0, L"QuirnelTestDesk", L"Skin tests", WS_POPUP | WS_VISIBLE, 40, 40,
                         900, 700, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(desk);
  UpdateWindow(desk);
  Pump();
  return desk;
}

HWND CreateForm(int client_width, int client_height, bool top_level) {
  RegisterFormClass();
  const DWORD style = top_level ? WS_POPUP : WS_CHILD;
  HWND form = CreateWindowExW(0, L"Form", L"Skin test", style | WS_CLIPCHILDREN, top_level ? 60 : 20,
                              top_level ? 60 : 20, client_width, client_height,
                              top_level ? nullptr : TestDesk(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ShowWindow(form, SW_SHOW);
  if (top_level) SetForegroundWindow(form);
  UpdateWindow(form);
  Pump();
  return form;
}

HWND CreateControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x,
                   int y, int width, int height, int id, DWORD ex_style) {
  HWND control = CreateWindowExW(ex_style, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                                 height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  return control;
}

HWND CreateButton(HWND parent, const wchar_t* caption, int x, int y, int width, int height,
                  DWORD style, int id) {
  return CreateControl(parent, L"Button", caption, style | WS_TABSTOP, x, y, width, height, id);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done, int timeout_ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (static_cast<int>(GetTickCount() - start) > timeout_ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
  return true;
}

bool HasProp(HWND hwnd, const wchar_t* name) {
  PropSearch search{name, false};
  EnumPropsExW(hwnd, FindProp, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::intptr_t PropValue(HWND hwnd, const wchar_t* name) {
  return reinterpret_cast<std::intptr_t>(GetPropW(hwnd, name));
}

std::vector<std::wstring> SkinPropsOn(HWND hwnd) {
  std::vector<std::wstring> present;
  for (const wchar_t* name : kSkinProps) {
    if (HasProp(hwnd, name)) present.push_back(name);
  }
  return present;
}

COLORREF ScreenPixel(HWND hwnd, int x, int y) {
  HDC dc = GetWindowDC(hwnd);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return colour;
}

void SkinTest::TearDown() {
  if (form_) DestroyWindow(form_);
  Pump();
  g_form_log = FormLog{};
  // Destroying the form takes everything down through the hooks.
  EXPECT_EQ(State().SkinnedButtonCount, 0);
  EXPECT_EQ(State().HookedHostCount, 0);
  // A test that only initialised the module leaves a template behind.
  State().SkinnedButtonCount = 0;
  State().HookedHostCount = 0;
  ReleaseSkinTemplateIfUnused();
}
