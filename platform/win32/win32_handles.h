#pragma once
// Owners of Win32 handles: each releases its handle exactly once, with the
// call that matches how it was obtained, when it goes out of scope.
#include <windows.h>

#include <utility>

namespace win32 {

// A handle with a release function; movable, not copyable.
template <typename Handle, typename Releaser>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { Reset(); }
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, Handle{});
    }
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle Get() const { return handle_; }
  operator Handle() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }
  // Gives the handle up without releasing it (to a window that takes it over).
  Handle Release() { return std::exchange(handle_, Handle{}); }
  void Reset(Handle handle = Handle{}) {
    if (handle_ != Handle{}) Releaser()(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Handle{};
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DeleteMemoryDC {
  void operator()(HDC dc) const { DeleteDC(dc); }
};

// GDI objects: pens, brushes, fonts, bitmaps, regions.
template <typename Handle>
using GdiObject = Owned<Handle, DeleteGdiObject>;
using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Region = GdiObject<HRGN>;

// A memory DC from CreateCompatibleDC or CreateDC.
using MemoryDC = Owned<HDC, DeleteMemoryDC>;

// Memory the system allocated with LocalAlloc (CommandLineToArgvW's array).
struct FreeLocal {
  void operator()(void* memory) const { LocalFree(memory); }
};
template <typename Pointer>
using LocalMemory = Owned<Pointer, FreeLocal>;

// An icon made by LoadImage without LR_SHARED.
struct DestroyIconHandle {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Icon = Owned<HICON, DestroyIconHandle>;

// A DC borrowed from a window (GetWindowDC / GetDC, the screen when window is
// null) and handed back with ReleaseDC.
class WindowDC {
 public:
  enum class Area { Whole, Client };
  explicit WindowDC(HWND window, Area area = Area::Whole)
      : window_(window), dc_(area == Area::Whole ? GetWindowDC(window) : GetDC(window)) {}
  ~WindowDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  operator HDC() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a DC for a while; the one it replaced goes back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace win32
