#include "window_class.h"

std::wstring GetWindowClass(HWND hwnd) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(hwnd, name, 256);
  if (length <= 0) return std::wstring();
  return std::wstring(name, static_cast<size_t>(length));
}

bool IsFunctionExported(const char* function_name, const wchar_t* dll_name) {
  HMODULE module = GetModuleHandleW(dll_name);
  bool loaded_here = false;
  if (!module) {
    module = LoadLibraryW(dll_name);
    if (!module) return false;
    loaded_here = true;
  }
  const bool exported = GetProcAddress(module, function_name) != nullptr;
  if (loaded_here) FreeLibrary(module);
  return exported;
}
