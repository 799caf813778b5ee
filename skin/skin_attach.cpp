// Attaching the skin to a window tree and taking it off again.
#include "skin_attach.h"

#include "skin_internal.h"

namespace skin {

namespace {
void InitializeSkin() {
  State().skinInitialized = true;
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

// Descendants first (buttons inside frames too), then the host itself.
bool AttachHost(HWND hwnd) {
  EnumChildWindows(hwnd, SkinChildProc, 0);
  return HookHostWindow(hwnd);
}
}  // namespace

std::wstring GetWindowClass(HWND hwnd) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(hwnd, name, 256);
  return length > 0 ? std::wstring(name, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace skin

using namespace skin;

bool SkinWindow(HWND hwnd) {
  // Even a window that is then ignored brings the template up.
  if (!State().skinInitialized) InitializeSkin();
  switch (RoleOf(hwnd)) {
    case WindowRole::Button: return IsPushButton(hwnd) && SkinButton(hwnd);
    case WindowRole::Host: return AttachHost(hwnd);
    case WindowRole::Other: break;
  }
  return false;
}

bool SkinHostWindow(HWND hwnd) {
  if (!State().skinInitialized) InitializeSkin();
  return AttachHost(hwnd);
}

bool UnskinWindow(HWND hwnd) {
  // A host hooked whatever its class comes off as a form does.
  if (IsHookedHost(hwnd) || RoleOf(hwnd) == WindowRole::Host) {
    EnumChildWindows(hwnd, UnskinChildProc, 0);
    return UnhookHostWindow(hwnd);
  }
  return RoleOf(hwnd) == WindowRole::Button && UnskinButton(hwnd);
}
