// The module's shared template and the per-window properties, including the
// procedure each attached window had before.
#include "skin_internal.h"

namespace skin {

const wchar_t kPropProcAddr[] = L"PROCADDR";
const wchar_t kPropMouseFlag[] = L"MOUSEFLAG";
const wchar_t kPropTimerId[] = L"TIMERID";
const wchar_t kPropOldState[] = L"OLDSTATE";
const wchar_t kPropAlphaLevel[] = L"ALPHALEVEL";
const wchar_t kPropDefButton[] = L"DEFBUTTON";

ModuleState& State() {
  static ModuleState state;
  return state;
}

void BuildSkinTemplate() {
  // Compatible with the screen, so that copies onto button images of the
  // screen's format need no conversion.
  win32::MemoryDC display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
  if (!display) return;
  win32::Bitmap image(CreateCompatibleBitmap(display.Get(), kTemplateWidth, kTemplateHeight));
  win32::MemoryDC dc(CreateCompatibleDC(display.Get()));
  if (!image || !dc) return;
  // The DC's own bitmap is a stock object: nothing to delete.
  SelectObject(dc.Get(), image.Get());
  for (int y = 0; y < kTemplateHeight; ++y) {
    for (int x = 0; x < kTemplateWidth; ++x) SetPixel(dc.Get(), x, y, kTemplateColors[y][x]);
  }
  State().templateImage = std::move(image);
  State().SkinTemplateDC = std::move(dc);
}

void ReleaseSkinTemplateIfUnused() {
  ModuleState& state = State();
  if (!state.SkinInitialized || state.SkinnedButtonCount > 0 || state.HookedHostCount > 0) return;
  state.SkinTemplateDC.Reset();
  state.templateImage.Reset();
  state.SkinInitialized = false;
}

std::intptr_t GetPropInt(HWND hwnd, const wchar_t* name) {
  return reinterpret_cast<std::intptr_t>(GetPropW(hwnd, name));
}

void SetPropInt(HWND hwnd, const wchar_t* name, std::intptr_t value) {
  SetPropW(hwnd, name, reinterpret_cast<HANDLE>(value));
}

std::wstring StateImageName(int state) { return L"HDC" + std::to_wstring(state); }
std::wstring StateBitmapName(int state) { return L"BMP" + std::to_wstring(state); }

HDC StateImage(HWND hwnd, int state) {
  return reinterpret_cast<HDC>(GetPropInt(hwnd, StateImageName(state).c_str()));
}

WNDPROC PreviousProc(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(GetPropInt(hwnd, kPropProcAddr));
}

void ReplaceWindowProc(HWND hwnd, WNDPROC proc) {
  const LONG_PTR previous = SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  SetPropInt(hwnd, kPropProcAddr, previous);
}

void RestoreWindowProc(HWND hwnd, WNDPROC previous) {
  RemovePropW(hwnd, kPropProcAddr);
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

LRESULT RunHooked(MessageHandler handler, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!hwnd) return 0;
  WNDPROC previous = PreviousProc(hwnd);
  if (!previous) return DefWindowProcW(hwnd, message, wParam, lParam);
  return handler(previous, hwnd, message, wParam, lParam);
}

}  // namespace skin
