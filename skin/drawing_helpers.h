#pragma once
// Small drawing and geometry routines shared by the skin's procedures; each
// wraps one platform call and takes rectangles as position and size.
#include <windows.h>

#include <cstdint>
#include <string>

// A window's outer rectangle in screen coordinates.
struct WindowBounds {
  std::int32_t Left;
  std::int32_t Top;
  std::int32_t Right;
  std::int32_t Bottom;
  std::int32_t Width;
  std::int32_t Height;
};

// Fills `bounds` from GetWindowRect; returns its result.
BOOL GetWindowBounds(HWND hwnd, WindowBounds& bounds);

// The window's caption, Chinese included, whatever the system code page.
std::wstring GetWindowCaption(HWND hwnd);

int DrawTextInRect(HDC dc, const std::wstring& text, int x, int y, int width, int height,
                   UINT format);
BOOL DrawFocusRectAt(HDC dc, int x, int y, int width, int height);
// A one-pixel frame along the rectangle's inside, in a solid colour.
int FrameRectColor(HDC dc, int x, int y, int width, int height, COLORREF colour);
