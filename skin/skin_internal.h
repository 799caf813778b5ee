#pragma once
// The skin's Win32 side as its files share it: the module state, the
// per-window properties, the procedures it installs, and the set-up and
// tear-down of each kind of window it attaches to.
#include <windows.h>

#include <cstdint>
#include <string>

#include "skin_core.h"
#include "win32_handles.h"

namespace skin {

// One template for every skinned button of the process, and the counts that
// decide when it can go.
struct ModuleState {
  bool SkinInitialized = false;  // the template was built and the probe has run
  win32::Bitmap templateImage;   // stays selected into SkinTemplateDC
  // Declared after its image so that it goes first: a bitmap selected into
  // a DC cannot be deleted.
  win32::MemoryDC SkinTemplateDC;
  bool HasUser32TrackMouseEvent = false;  // else comctl32's _TrackMouseEvent
  std::int32_t SkinnedButtonCount = 0;
  std::int32_t HookedHostCount = 0;
};
ModuleState& State();

// Paints the 9 x 84 template into SkinTemplateDC, which stays empty when the
// display DC or the image cannot be made.
void BuildSkinTemplate();
// Releases the template once no button is skinned and no host is hooked;
// the next SkinWindow builds it again.
void ReleaseSkinTemplateIfUnused();

// Every per-window value lives in a window property, so a window carries its
// own state and "PROCADDR" alone says whether it is attached. An absent
// property reads as 0, like a stored 0.
extern const wchar_t kPropProcAddr[];    // the procedure ours replaced
extern const wchar_t kPropMouseFlag[];   // 1 while a leave notification is asked for
extern const wchar_t kPropTimerId[];     // the running fade timer, 0 when none
extern const wchar_t kPropOldState[];    // the state shown or faded to
extern const wchar_t kPropAlphaLevel[];  // alpha of the next fade step
extern const wchar_t kPropDefButton[];   // 1 while the dialog's default push button
std::intptr_t GetPropInt(HWND hwnd, const wchar_t* name);
void SetPropInt(HWND hwnd, const wchar_t* name, std::intptr_t value);
// "HDC0".."HDC3" hold the state images, "BMP0".."BMP3" their bitmaps.
std::wstring StateImageName(int state);
std::wstring StateBitmapName(int state);
HDC StateImage(HWND hwnd, int state);

// The procedure saved in "PROCADDR", null when the window is not attached.
WNDPROC PreviousProc(HWND hwnd);
// Installs `proc` and saves the procedure it replaces in "PROCADDR".
void ReplaceWindowProc(HWND hwnd, WNDPROC proc);
// Removes "PROCADDR" first, then puts `previous` back, so that messages sent
// in between find the window detached.
void RestoreWindowProc(HWND hwnd, WNDPROC previous);
// How every procedure the skin installs begins: nothing for a null handle,
// DefWindowProc while the window is being set up or taken down (never a
// stale procedure), else `handler` with the procedure to pass messages on to.
using MessageHandler = LRESULT (*)(WNDPROC previous, HWND hwnd, UINT message, WPARAM wParam,
                                   LPARAM lParam);
LRESULT RunHooked(MessageHandler handler, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A window's outer size.
struct WindowBounds {
  std::int32_t Width;
  std::int32_t Height;
};
// Fills `bounds` from GetWindowRect and returns its result.
BOOL GetWindowBounds(HWND hwnd, WindowBounds& bounds);
// The window's class name, "" when it cannot be read.
std::wstring GetWindowClass(HWND hwnd);

// A push button gets four state images, the owner-drawn type, a rounded
// region and ButtonWndProc; 0 when it is skinned already or its images
// cannot be made. UnskinButton gives all of it back; 0 when not skinned.
int SkinButton(HWND hwnd);
int UnskinButton(HWND hwnd);
// Draws the four state images from the template: nine pieces of the state's
// slice, the caption, and the focus rectangle while the button has the focus.
void RenderButtonStates(HWND hwnd);
// New images of the button's new size, rendered, and a new rounded region.
void ResizeStateImages(HWND hwnd);
LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// At most one fade timer per button: StartFadeTimer returns 0 while one
// runs, StopFadeTimer 0 when none runs.
UINT_PTR StartFadeTimer(HWND hwnd);
BOOL StopFadeTimer(HWND hwnd);

// Forms and dialogs get HostWndProc, their other controls
// ChildBorderWndProc (a flat frame instead of the sunken edge). Each returns
// 1 when it did something, else 0.
int HookHostWindow(HWND hwnd);
int UnhookHostWindow(HWND hwnd);
int HookChildBorder(HWND hwnd);
int UnhookChildBorder(HWND hwnd);
LRESULT CALLBACK HostWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ChildBorderWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace skin
