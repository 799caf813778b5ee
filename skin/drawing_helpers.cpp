#include "drawing_helpers.h"

#include "gdi_handles.h"

using skin_gdi::SolidBrush;

namespace {
RECT MakeRect(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }
}  // namespace

BOOL GetWindowBounds(HWND hwnd, WindowBounds& bounds) {
  RECT rect{};
  const BOOL ok = GetWindowRect(hwnd, &rect);
  bounds.Left = rect.left;
  bounds.Top = rect.top;
  bounds.Right = rect.right;
  bounds.Bottom = rect.bottom;
  bounds.Width = rect.right - rect.left;
  bounds.Height = rect.bottom - rect.top;
  return ok;
}

std::wstring GetWindowCaption(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

int DrawTextInRect(HDC dc, const std::wstring& text, int x, int y, int width, int height,
                   UINT format) {
  RECT rect = MakeRect(x, y, width, height);
  return DrawTextW(dc, text.c_str(), -1, &rect, format);
}

BOOL DrawFocusRectAt(HDC dc, int x, int y, int width, int height) {
  const RECT rect = MakeRect(x, y, width, height);
  return DrawFocusRect(dc, &rect);
}

int FrameRectColor(HDC dc, int x, int y, int width, int height, COLORREF colour) {
  const RECT rect = MakeRect(x, y, width, height);
  SolidBrush brush(colour);
  return FrameRect(dc, &rect, brush);
}
