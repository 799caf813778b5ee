#include "memory_image.h"

#include <utility>

namespace skin {

bool MemoryImage::Make(HDC reference, int width, int height) {
  Reset();
  win32::MemoryDC dc(CreateCompatibleDC(reference));
  win32::Bitmap bitmap(CreateCompatibleBitmap(reference, width, height));
  if (!dc || !bitmap) return false;
  win32::Selection selection = win32::Select(dc.Get(), bitmap.Get());
  if (!selection) return false;
  bitmap_ = std::move(bitmap);
  dc_ = std::move(dc);
  selection_ = std::move(selection);
  return true;
}

bool MemoryImage::Replace(win32::Bitmap bitmap) {
  win32::Selection swap = win32::Select(dc_.Get(), bitmap.Get());
  if (!swap) return false;
  // The swap would put back the bitmap held, which goes now; the DC's stock
  // bitmap is still the one put back when the image goes.
  swap.Release();
  bitmap_ = std::move(bitmap);
  return true;
}

void MemoryImage::Reset() {
  selection_.Reset();
  dc_.Reset();
  bitmap_.Reset();
}

}  // namespace skin
