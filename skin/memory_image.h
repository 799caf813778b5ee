#pragma once
// A bitmap drawn on through a memory DC of its own. The bitmap stays
// selected into the DC for the image's whole life, and the DC gets its own
// stock bitmap back before either goes: a bitmap selected into a DC cannot
// be deleted.
#include <windows.h>

#include "win32_handles.h"

namespace skin {

class MemoryImage {
 public:
  MemoryImage() = default;
  ~MemoryImage() { Reset(); }
  MemoryImage(const MemoryImage&) = delete;
  MemoryImage& operator=(const MemoryImage&) = delete;

  // An image of width x height in the format of `reference`, in place of
  // the one held; false, and no image, when it cannot be made.
  bool Make(HDC reference, int width, int height);
  // Drawing goes into `bitmap` from now on, and the bitmap held goes;
  // false, and the bitmap held kept, when it cannot be selected.
  bool Replace(win32::Bitmap bitmap);
  void Reset();

  // The DC to draw into or copy from; null while there is no image.
  HDC Get() const { return dc_.Get(); }
  explicit operator bool() const { return static_cast<bool>(selection_); }

 private:
  win32::Bitmap bitmap_;
  win32::MemoryDC dc_;
  win32::Selection selection_;  // last, so that the stock bitmap is back before the others go
};

}  // namespace skin
