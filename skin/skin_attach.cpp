// Attaching the skin to a window tree and taking it off again.
#include "skin_attach.h"

#include "skin_internal.h"

namespace skin {

namespace {
// Whether the library exports the function. A library that was not loaded
// already is loaded for the question and freed again.
bool IsFunctionExported(const char* functionName, const wchar_t* dllName) {
  HMODULE module = GetModuleHandleW(dllName);
  const bool loadedHere = !module;
  if (loadedHere) module = LoadLibraryW(dllName);
  if (!module) return false;
  const bool exported = GetProcAddress(module, functionName) != nullptr;
  if (loadedHere) FreeLibrary(module);
  return exported;
}

void InitializeSkin() {
  ModuleState& state = State();
  state.SkinInitialized = true;
  state.HasUser32TrackMouseEvent = IsFunctionExported("TrackMouseEvent", L"User32");
  BuildSkinTemplate();
}

WindowRole RoleOf(HWND hwnd) { return RoleOfClass(GetWindowClass(hwnd)); }

// Only push buttons take the skin: check boxes, radio buttons and group
// boxes share their class, and an owner-drawn skin would take their look
// and their behaviour away.
bool IsPushButton(HWND hwnd) {
  const LONG_PTR type = GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Buttons are skinned, every other descendant gets the flat frame.
BOOL CALLBACK SkinChildProc(HWND hwnd, LPARAM) {
  if (RoleOf(hwnd) != WindowRole::Button) {
    HookChildBorder(hwnd);
  } else if (IsPushButton(hwnd)) {
    SkinButton(hwnd);
  }
  return TRUE;
}

BOOL CALLBACK UnskinChildProc(HWND hwnd, LPARAM) {
  if (RoleOf(hwnd) == WindowRole::Button) {
    UnskinButton(hwnd);
  } else {
    UnhookChildBorder(hwnd);
  }
  return TRUE;
}
}  // namespace

std::wstring GetWindowClass(HWND hwnd) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(hwnd, name, 256);
  return length > 0 ? std::wstring(name, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace skin

using namespace skin;

int SkinWindow(HWND hwnd) {
  // Even a window that is then ignored brings the template up.
  if (!State().SkinInitialized) InitializeSkin();
  switch (RoleOf(hwnd)) {
    case WindowRole::Button:
      return IsPushButton(hwnd) ? SkinButton(hwnd) : 0;
    case WindowRole::Host:
      // Descendants first (buttons inside frames too), then the host itself.
      EnumChildWindows(hwnd, SkinChildProc, 0);
      return HookHostWindow(hwnd);
    case WindowRole::Other:
      break;
  }
  return 0;
}

int UnskinWindow(HWND hwnd) {
  switch (RoleOf(hwnd)) {
    case WindowRole::Button:
      return UnskinButton(hwnd);
    case WindowRole::Host:
      EnumChildWindows(hwnd, UnskinChildProc, 0);
      return UnhookHostWindow(hwnd);
    case WindowRole::Other:
      break;
  }
  return 0;
}
