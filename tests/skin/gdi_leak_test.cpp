// No GDI object outlives an attach/detach cycle. Wine does not count GDI
// objects per process, so this test counts them itself: the calls the skin
// makes to create and delete DCs, bitmaps, brushes and regions go through
// this executable's import table, which the test points at counting
// wrappers around the real functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "skin_attach.h"
#include "skin_internal.h"
#include "skin_test_support.h"

using namespace skin;

namespace {
std::set<HGDIOBJ> g_live;
int g_created = 0;

void Created(HGDIOBJ object) {
  if (!object) return;
  g_live.insert(object);
  ++g_created;
}

decltype(&CreateCompatibleDC) real_CreateCompatibleDC;
decltype(&CreateDCW) real_CreateDCW;
decltype(&CreateCompatibleBitmap) real_CreateCompatibleBitmap;
decltype(&CreateSolidBrush) real_CreateSolidBrush;
decltype(&CreateRoundRectRgn) real_CreateRoundRectRgn;
decltype(&DeleteDC) real_DeleteDC;
decltype(&DeleteObject) real_DeleteObject;
decltype(&SetWindowRgn) real_SetWindowRgn;

HDC WINAPI CountCreateCompatibleDC(HDC dc) {
  HDC made = real_CreateCompatibleDC(dc);
  Created(made);
  return made;
}
HDC WINAPI CountCreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* mode) {
  HDC made = real_CreateDCW(driver, device, port, mode);
  Created(made);
  return made;
}
HBITMAP WINAPI CountCreateCompatibleBitmap(HDC dc, int w, int h) {
  HBITMAP made = real_CreateCompatibleBitmap(dc, w, h);
  Created(made);
  return made;
}
HBRUSH WINAPI CountCreateSolidBrush(COLORREF colour) {
  HBRUSH made = real_CreateSolidBrush(colour);
  Created(made);
  return made;
}
HRGN WINAPI CountCreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
  HRGN made = real_CreateRoundRectRgn(l, t, r, b, w, h);
  Created(made);
  return made;
}
BOOL WINAPI CountDeleteDC(HDC dc) {
  const BOOL ok = real_DeleteDC(dc);
  if (ok) g_live.erase(dc);
  return ok;
}
BOOL WINAPI CountDeleteObject(HGDIOBJ object) {
  const BOOL ok = real_DeleteObject(object);
  if (ok) g_live.erase(object);
  return ok;
}
// A region given to a window belongs to the window from then on.
int WINAPI CountSetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  const int ok = real_SetWindowRgn(hwnd, region, redraw);
  if (ok && region) g_live.erase(region);
  return ok;
}

void** ImportSlot(const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       imp->Name; ++imp) {
    if (_stricmp(reinterpret_cast<char*>(base + imp->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<char*>(by_name->Name), function) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

// Points one import at `wrapper` and keeps the real function in `real`.
template <typename Function>
bool Redirect(const char* dll, const char* name, Function wrapper, Function& real) {
  void** slot = ImportSlot(dll, name);
  if (!slot) return false;
  DWORD protection = 0;
  VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection);
  real = reinterpret_cast<Function>(*slot);
  *slot = reinterpret_cast<void*>(wrapper);
  VirtualProtect(slot, sizeof(void*), protection, &protection);
  return true;
}

template <typename Function>
void Restore(const char* dll, const char* name, Function real) {
  Function ignored{};
  Redirect(dll, name, real, ignored);
}

class GdiLeakTest : public SkinTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Redirect("gdi32.dll", "CreateCompatibleDC", &CountCreateCompatibleDC,
                         real_CreateCompatibleDC));
    ASSERT_TRUE(Redirect("gdi32.dll", "CreateDCW", &CountCreateDCW, real_CreateDCW));
    ASSERT_TRUE(Redirect("gdi32.dll", "CreateCompatibleBitmap", &CountCreateCompatibleBitmap,
                         real_CreateCompatibleBitmap));
    ASSERT_TRUE(
        Redirect("gdi32.dll", "CreateSolidBrush", &CountCreateSolidBrush, real_CreateSolidBrush));
    ASSERT_TRUE(Redirect("gdi32.dll", "CreateRoundRectRgn", &CountCreateRoundRectRgn,
                         real_CreateRoundRectRgn));
    ASSERT_TRUE(Redirect("gdi32.dll", "DeleteDC", &CountDeleteDC, real_DeleteDC));
    ASSERT_TRUE(Redirect("gdi32.dll", "DeleteObject", &CountDeleteObject, real_DeleteObject));
    ASSERT_TRUE(Redirect("user32.dll", "SetWindowRgn", &CountSetWindowRgn, real_SetWindowRgn));
    redirected_ = true;
    g_live.clear();
    g_created = 0;
  }
  void TearDown() override {
    if (redirected_) {
      Restore("gdi32.dll", "CreateCompatibleDC", real_CreateCompatibleDC);
      Restore("gdi32.dll", "CreateDCW", real_CreateDCW);
      Restore("gdi32.dll", "CreateCompatibleBitmap", real_CreateCompatibleBitmap);
      Restore("gdi32.dll", "CreateSolidBrush", real_CreateSolidBrush);
      Restore("gdi32.dll", "CreateRoundRectRgn", real_CreateRoundRectRgn);
      Restore("gdi32.dll", "DeleteDC", real_DeleteDC);
      Restore("gdi32.dll", "DeleteObject", real_DeleteObject);
      Restore("user32.dll", "SetWindowRgn", real_SetWindowRgn);
    }
    SkinTest::TearDown();
  }

  // Everything a session with the window does to the skin: attach, hover,
  // press, focus, resize, disable, repaint the flat frames.
  void UseTheSkin(HWND button, HWND edit) {
    SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(button, WM_TIMER, 1, 0);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ReleaseCapture();
    SetFocus(button);
    SetWindowPos(button, nullptr, 0, 0, 80, 30, SWP_NOMOVE | SWP_NOZORDER);
    EnableWindow(button, FALSE);
    EnableWindow(button, TRUE);
    RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  }

  bool redirected_ = false;
};
}  // namespace

TEST_F(GdiLeakTest, HundredAttachDetachCyclesLeaveNoGdiObject) {
  const DWORD reported_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  form_ = CreateForm();
  HWND button = CreateButton(form_, L"Begin", 10, 10, 75, 25);
  CreateButton(form_, L"\x9009\x62e9", 100, 10, 75, 25);
  HWND edit = CreateControl(form_, L"Edit", L"", 0, 10, 50, 200, 24, 0, WS_EX_CLIENTEDGE);
  Pump();
  g_live.clear();
  g_created = 0;
  for (int cycle = 0; cycle < 100; ++cycle) {
    SkinWindow(form_);
    UseTheSkin(button, edit);
    UnskinWindow(form_);
    SetWindowPos(button, nullptr, 0, 0, 75, 25, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(g_live.empty()) << "cycle " << cycle << ": " << g_live.size() << " left";
  }
  // Per cycle: the template (display DC, DC, image), 2 x 4 images, the
  // resize's 4 bitmaps, regions and frame brushes.
  EXPECT_GT(g_created, 100 * 20);
  Pump();
  const DWORD reported_after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported_before != 0) {
    EXPECT_LE(reported_after, reported_before + 10);
  }
}

TEST_F(GdiLeakTest, HundredFormsDestroyedWhileSkinnedLeaveNoGdiObject) {
  for (int cycle = 0; cycle < 100; ++cycle) {
    HWND form = CreateForm();
    HWND button = CreateButton(form, L"OK", 10, 10, 75, 25);
    HWND edit = CreateControl(form, L"Edit", L"", 0, 10, 50, 200, 24, 0, WS_EX_CLIENTEDGE);
    SkinWindow(form);
    UseTheSkin(button, edit);
    DestroyWindow(form);
    Pump();
    ASSERT_TRUE(g_live.empty()) << "cycle " << cycle << ": " << g_live.size() << " left";
  }
  EXPECT_FALSE(State().SkinInitialized);
}
