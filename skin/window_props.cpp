#include "window_props.h"

const wchar_t kPropProcAddr[] = L"PROCADDR";
const wchar_t kPropMouseFlag[] = L"MOUSEFLAG";
const wchar_t kPropTimerId[] = L"TIMERID";
const wchar_t kPropOldState[] = L"OLDSTATE";
const wchar_t kPropAlphaLevel[] = L"ALPHALEVEL";
const wchar_t kPropDefButton[] = L"DEFBUTTON";

std::wstring StateDCPropName(int state) { return L"HDC" + std::to_wstring(state); }
std::wstring StateBitmapPropName(int state) { return L"BMP" + std::to_wstring(state); }

std::intptr_t GetPropInt(HWND hwnd, const wchar_t* name) {
  return reinterpret_cast<std::intptr_t>(GetPropW(hwnd, name));
}

void SetPropInt(HWND hwnd, const wchar_t* name, std::intptr_t value) {
  SetPropW(hwnd, name, reinterpret_cast<HANDLE>(value));
}

void RemovePropInt(HWND hwnd, const wchar_t* name) { RemovePropW(hwnd, name); }

HDC GetStateDC(HWND hwnd, int state) {
  return reinterpret_cast<HDC>(GetPropInt(hwnd, StateDCPropName(state).c_str()));
}

HBITMAP GetStateBitmap(HWND hwnd, int state) {
  return reinterpret_cast<HBITMAP>(GetPropInt(hwnd, StateBitmapPropName(state).c_str()));
}

WNDPROC GetPreviousProc(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(GetPropInt(hwnd, kPropProcAddr));
}

bool IsAttached(HWND hwnd) { return GetPreviousProc(hwnd) != nullptr; }

void ReplaceWindowProc(HWND hwnd, WNDPROC proc) {
  const LONG_PTR previous =
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  SetPropInt(hwnd, kPropProcAddr, previous);
}

void RestoreWindowProc(HWND hwnd, WNDPROC previous) {
  RemovePropInt(hwnd, kPropProcAddr);
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}
