// The module's shared template, and which windows it is attached to.
#include "skin_internal.h"

namespace skin {

namespace {
using GetWindowSubclassFunction = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);

// Looked up at run time: comctl32 exports it by name beside SetWindowSubclass,
// but mingw-w64's import library for x86_64 lacks it.
GetWindowSubclassFunction LookUpGetWindowSubclass() {
  const HMODULE comctl = GetModuleHandleW(L"comctl32.dll");  // loaded for SetWindowSubclass
  if (!comctl) return nullptr;
  return reinterpret_cast<GetWindowSubclassFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(comctl, "GetWindowSubclass")));
}

GetWindowSubclassFunction GetWindowSubclassFound() {
  static const GetWindowSubclassFunction found = LookUpGetWindowSubclass();
  return found;
}
}  // namespace

ModuleState& State() {
  static ModuleState state;
  return state;
}

void BuildSkinTemplate() {
  // Compatible with the screen, so that copies onto button images of the
  // screen's format need no conversion.
  win32::MemoryDC display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
  MemoryImage& skinTemplate = State().skinTemplate;
  if (!display || !skinTemplate.Make(display.Get(), kTemplateWidth, kTemplateHeight)) return;
  for (int y = 0; y < kTemplateHeight; ++y) {
    for (int x = 0; x < kTemplateWidth; ++x) SetPixel(skinTemplate.Get(), x, y, kTemplateColors[y][x]);
  }
}

void ReleaseSkinTemplateIfUnused() {
  ModuleState& state = State();
  if (!state.skinInitialized || state.skinnedButtonCount > 0 || state.hookedHostCount > 0) return;
  state.skinTemplate.Reset();
  state.skinInitialized = false;
}

bool FindSkinSubclass(HWND hwnd, SUBCLASSPROC proc, DWORD_PTR& data) {
  const GetWindowSubclassFunction getWindowSubclass = GetWindowSubclassFound();
  return getWindowSubclass && getWindowSubclass(hwnd, proc, kSkinSubclassId, &data);
}

bool IsAttached(HWND hwnd) {
  // A system that cannot say counts every window as attached: the skin then
  // stays off rather than attach to a window twice.
  if (!GetWindowSubclassFound()) return true;
  DWORD_PTR data = 0;
  for (SUBCLASSPROC proc : {ButtonSubclassProc, HostSubclassProc, ChildBorderSubclassProc}) {
    if (FindSkinSubclass(hwnd, proc, data)) return true;
  }
  return false;
}

}  // namespace skin
