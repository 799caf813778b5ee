#pragma once
// The skin's Win32 side as its files share it: the module state, the
// subclasses it installs, and the set-up and tear-down of each kind of
// window it attaches to.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>

#include "memory_image.h"
#include "skin_core.h"
#include "skinned_button.h"
#include "win32_handles.h"

namespace skin {

// One template for every skinned button of the process, and the counts that
// decide when it can go.
struct ModuleState {
  bool skinInitialized = false;  // the template was built, or tried, since nothing was attached
  MemoryImage skinTemplate;
  std::int32_t skinnedButtonCount = 0;
  std::int32_t hookedHostCount = 0;
};
ModuleState& State();

// Paints the 9 x 84 template into skinTemplate, which stays empty when the
// display DC or the image cannot be made.
void BuildSkinTemplate();
// Releases the template once no button is skinned and no host is hooked;
// the next SkinWindow builds it again.
void ReleaseSkinTemplateIfUnused();

// The skin keeps nothing on a window but one subclass, the same mechanism
// the window's own controls use, so that subclasses installed before or after
// it come off in any order. A button's subclass holds its SkinnedButton;
// hosts and framed controls need no state of their own.
constexpr UINT_PTR kSkinSubclassId = 1;
LRESULT CALLBACK ButtonSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR button);
LRESULT CALLBACK HostSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR);
LRESULT CALLBACK ChildBorderSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR);
// Whether the skin's subclass of this procedure is on the window, and what
// it holds.
bool FindSkinSubclass(HWND hwnd, SUBCLASSPROC proc, DWORD_PTR& data);
// Whether one of the skin's subclasses is on the window: a window takes one
// role at a time.
bool IsAttached(HWND hwnd);
bool IsHookedHost(HWND hwnd);

// A window's outer size.
struct WindowBounds {
  std::int32_t width;
  std::int32_t height;
};
// Fills `bounds` from GetWindowRect; false when it fails.
bool GetWindowBounds(HWND hwnd, WindowBounds& bounds);
// The window's class name, "" when it cannot be read.
std::wstring GetWindowClass(HWND hwnd);

// A push button gets its SkinnedButton, the owner-drawn type, a rounded
// region and its subclass; false when it is attached already or its images
// cannot be made. UnskinButton gives all of it back; false when not skinned.
bool SkinButton(HWND hwnd);
bool UnskinButton(HWND hwnd);

// Forms and dialogs get the host subclass, their other controls the child
// border subclass (a flat frame instead of the sunken edge). Each returns
// true when it did something.
bool HookHostWindow(HWND hwnd);
bool UnhookHostWindow(HWND hwnd);
bool HookChildBorder(HWND hwnd);
bool UnhookChildBorder(HWND hwnd);

}  // namespace skin
