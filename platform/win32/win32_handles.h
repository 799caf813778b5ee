#pragma once
// Owners of Win32 handles: each releases its handle exactly once, with the
// call that matches how it was obtained, when it goes out of scope. One
// template serves every kind; a kind differs only in how its handle is
// released and in which value means "no handle".
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <utility>

namespace win32 {

// Most handles are empty when null.
template <typename Handle>
struct NullIsEmpty {
  static Handle Value() { return Handle{}; }
  static bool Is(Handle handle) { return handle == Handle{}; }
};

// CreateFileW and ReOpenFile fail with INVALID_HANDLE_VALUE; null is no
// failure value there.
struct InvalidIsEmpty {
  static HANDLE Value() { return INVALID_HANDLE_VALUE; }
  static bool Is(HANDLE handle) { return handle == INVALID_HANDLE_VALUE; }
};

// One handle and what releases it; movable, not copyable, and never turned
// into the raw handle behind the reader's back: Get() says so. The release
// may carry what it needs besides the handle (the window a DC came from).
template <typename Handle, typename Close, typename Empty = NullIsEmpty<Handle>>
class Owner {
 public:
  Owner() = default;
  explicit Owner(Handle handle, Close close = Close()) : handle_(handle), close_(std::move(close)) {}
  ~Owner() { Reset(); }
  Owner(Owner&& other) noexcept : handle_(other.Release()), close_(std::move(other.close_)) {}
  Owner& operator=(Owner&& other) noexcept {
    if (this != &other) {
      Reset(other.Release());
      close_ = std::move(other.close_);
    }
    return *this;
  }
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return !Empty::Is(handle_); }
  // Gives the handle up without releasing it (to a window that takes it over).
  Handle Release() { return std::exchange(handle_, Empty::Value()); }
  void Reset(Handle handle = Empty::Value()) {
    const Handle old = std::exchange(handle_, handle);
    if (!Empty::Is(old)) close_(old);
  }
  // For functions that hand a new handle out through a pointer: the handle
  // held so far is released first, and the new one is owned from the start.
  Handle* Put() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Empty::Value();
  Close close_;
};

// ---- Kernel objects ----

struct CloseKernelHandle {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// Processes, threads, events.
using KernelHandle = Owner<HANDLE, CloseKernelHandle>;
// Files opened by CreateFileW or ReOpenFile.
using FileHandle = Owner<HANDLE, CloseKernelHandle, InvalidIsEmpty>;

// A view of a file mapping, from MapViewOfFile.
struct UnmapView {
  void operator()(const void* view) const { UnmapViewOfFile(view); }
};
using MappedView = Owner<const void*, UnmapView>;

// A listing of a folder's files begun by FindFirstFileW.
struct CloseSearch {
  void operator()(HANDLE search) const { FindClose(search); }
};
using FileSearch = Owner<HANDLE, CloseSearch, InvalidIsEmpty>;

// A started process and its first thread, as CreateProcessW hands them out.
struct NoProcess {
  static PROCESS_INFORMATION Value() { return {}; }
  static bool Is(const PROCESS_INFORMATION& started) { return started.hProcess == nullptr; }
};
struct CloseProcessAndThread {
  void operator()(const PROCESS_INFORMATION& started) const {
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
  }
};
using ProcessInformation = Owner<PROCESS_INFORMATION, CloseProcessAndThread, NoProcess>;

// ---- The registry, the shell, the heap ----

struct CloseRegistryKey {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using RegistryKey = Owner<HKEY, CloseRegistryKey>;

// Files dropped from Explorer, handed back with DragFinish.
struct FinishDrag {
  void operator()(HDROP drop) const { DragFinish(drop); }
};
using DroppedFiles = Owner<HDROP, FinishDrag>;

// Memory the system allocated with LocalAlloc (CommandLineToArgvW's array).
struct FreeLocal {
  void operator()(void* memory) const { LocalFree(memory); }
};
template <typename Pointer>
using LocalMemory = Owner<Pointer, FreeLocal>;

// A COM interface, released once.
struct ReleaseComObject {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface>
using ComPointer = Owner<Interface*, ReleaseComObject>;

// COM on this thread, from CoInitializeEx to CoUninitialize; where it
// cannot be had, what needs it does without.
class ComApartment {
 public:
  ComApartment() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (initialized_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialized_;
};

// ---- Menus and keyboard shortcuts ----

// A menu made by CreatePopupMenu or CreateMenu and attached to no window.
struct DestroyMenuHandle {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using Menu = Owner<HMENU, DestroyMenuHandle>;

// A table made by CreateAcceleratorTable.
struct DestroyAccelerators {
  void operator()(HACCEL table) const { DestroyAcceleratorTable(table); }
};
using AcceleratorTable = Owner<HACCEL, DestroyAccelerators>;

// ---- GDI ----

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
// Pens, brushes, fonts, bitmaps, regions.
template <typename Handle>
using GdiObject = Owner<Handle, DeleteGdiObject>;
using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Region = GdiObject<HRGN>;

// A memory DC from CreateCompatibleDC or CreateDC.
struct DeleteMemoryDC {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDC = Owner<HDC, DeleteMemoryDC>;

// An icon made by LoadImage without LR_SHARED.
struct DestroyIconHandle {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Icon = Owner<HICON, DestroyIconHandle>;

// A DC borrowed from a window and handed back to it.
struct ReleaseWindowDC {
  HWND window = nullptr;
  void operator()(HDC dc) const { ReleaseDC(window, dc); }
};
using WindowDC = Owner<HDC, ReleaseWindowDC>;
// The whole window's DC, frame included (the screen's when window is null).
inline WindowDC BorrowWindowDC(HWND window) { return WindowDC(GetWindowDC(window), ReleaseWindowDC{window}); }
// The client area's DC (the screen's when window is null).
inline WindowDC BorrowClientDC(HWND window) { return WindowDC(GetDC(window), ReleaseWindowDC{window}); }

// The DC of one WM_PAINT, from BeginPaint to EndPaint.
struct EndPainting {
  HWND window = nullptr;
  PAINTSTRUCT paint = {};
  void operator()(HDC) const { EndPaint(window, &paint); }
};
using PaintDC = Owner<HDC, EndPainting>;
inline PaintDC BeginPainting(HWND window) {
  EndPainting end{window, {}};
  // Two steps: the owner takes the paint structure as BeginPaint wrote it.
  HDC dc = BeginPaint(window, &end.paint);
  return PaintDC(dc, end);
}

// An object selected into a DC for a while. The owner holds the object it
// replaced, which goes back when the owner goes; a null object selects
// nothing. (Regions are not for this: selecting one returns no object.)
struct SelectBack {
  HDC dc = nullptr;
  void operator()(HGDIOBJ previous) const { SelectObject(dc, previous); }
};
using Selection = Owner<HGDIOBJ, SelectBack>;
inline Selection Select(HDC dc, HGDIOBJ object) {
  const HGDIOBJ previous = object != nullptr ? SelectObject(dc, object) : nullptr;
  return Selection(previous == HGDI_ERROR ? nullptr : previous, SelectBack{dc});
}

}  // namespace win32
