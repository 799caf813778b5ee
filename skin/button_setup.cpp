// Setting a push button up for the skin and taking it down again: its four
// state images, made, drawn, resized and freed here.
#include <array>

#include "skin_internal.h"
#include "win32_text.h"

namespace skin {

namespace {
constexpr COLORREF kCaptionColour = RGB(0, 0, 0);
constexpr COLORREF kDisabledCaptionColour = RGB(128, 128, 128);
// Centred on one line, cut with an ellipsis; "&" underlines the next letter.
constexpr UINT kCaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

RECT MakeRect(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

int DrawTextInRect(HDC dc, const std::wstring& text, int x, int y, int width, int height,
                   UINT format) {
  RECT rect = MakeRect(x, y, width, height);
  return DrawTextW(dc, text.c_str(), -1, &rect, format);
}

BOOL DrawFocusRectAt(HDC dc, int x, int y, int width, int height) {
  const RECT rect = MakeRect(x, y, width, height);
  return DrawFocusRect(dc, &rect);
}

void CopyTemplatePieces(HDC image, int width, int height, int state) {
  HDC skinTemplate = State().SkinTemplateDC.Get();
  for (const NinePiece& piece : NinePieces(width, height, state)) {
    const PieceRect& d = piece.destination;
    const PieceRect& s = piece.source;
    if (piece.copy == PieceCopy::Copy) {
      BitBlt(image, d.x, d.y, d.width, d.height, skinTemplate, s.x, s.y, SRCCOPY);
    } else {
      StretchBlt(image, d.x, d.y, d.width, d.height, skinTemplate, s.x, s.y, s.width, s.height,
                 SRCCOPY);
    }
  }
}

void RenderState(HWND hwnd, HDC image, const WindowBounds& bounds, int state,
                 const std::wstring& caption, UINT format) {
  // The image keeps the button's font; the one it had before is a stock font.
  if (HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0))) {
    SelectObject(image, font);
  }
  SetBkMode(image, TRANSPARENT);
  CopyTemplatePieces(image, bounds.Width, bounds.Height, state);
  SetTextColor(image, state == kStateDisabled ? kDisabledCaptionColour : kCaptionColour);
  const PieceRect text = CaptionRect(bounds.Width, bounds.Height);
  DrawTextInRect(image, caption, text.x, text.y, text.width, text.height, format);
  if (GetFocus() == hwnd) DrawFocusRectAt(image, text.x, text.y, text.width, text.height);
}

// The rounded outline: corners cut by a 3 x 3 ellipse.
void SetRoundRegion(HWND hwnd, const WindowBounds& bounds) {
  win32::Region region(CreateRoundRectRgn(0, 0, bounds.Width + 1, bounds.Height + 1, 3, 3));
  // The window owns the region once it is set.
  if (region && SetWindowRgn(hwnd, region.Get(), TRUE)) region.Release();
}

// One state image while it is made: freed again unless handed to the button.
struct NewImage {
  win32::Bitmap bitmap;
  win32::MemoryDC dc;  // after its bitmap, so that it goes first
};

// Images of the button's size in the screen's format (compatible with the
// window DC, not with the memory DC); false when any cannot be made.
bool MakeStateImages(HWND hwnd, const WindowBounds& bounds,
                     std::array<NewImage, kStateCount>& images) {
  const win32::WindowDC reference = win32::BorrowWindowDC(hwnd);
  if (!reference) return false;
  for (NewImage& image : images) {
    image.dc.Reset(CreateCompatibleDC(reference.Get()));
    image.bitmap.Reset(CreateCompatibleBitmap(reference.Get(), bounds.Width, bounds.Height));
    if (!image.dc || !image.bitmap) return false;
    SelectObject(image.dc.Get(), image.bitmap.Get());  // replaces the DC's stock bitmap
  }
  return true;
}

void DeleteStateImages(HWND hwnd) {
  for (int state = 0; state < kStateCount; ++state) {
    const std::wstring bitmapName = StateBitmapName(state);
    const std::wstring imageName = StateImageName(state);
    // Taken over to be freed: the DC goes before the bitmap it holds.
    win32::Bitmap bitmap(reinterpret_cast<HBITMAP>(RemovePropW(hwnd, bitmapName.c_str())));
    win32::MemoryDC image(reinterpret_cast<HDC>(RemovePropW(hwnd, imageName.c_str())));
  }
}

bool HidesUnderline(HWND hwnd) {
  return (SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0;
}
}  // namespace

BOOL GetWindowBounds(HWND hwnd, WindowBounds& bounds) {
  RECT rect{};
  const BOOL ok = GetWindowRect(hwnd, &rect);
  bounds.Width = rect.right - rect.left;
  bounds.Height = rect.bottom - rect.top;
  return ok;
}

void RenderButtonStates(HWND hwnd) {
  WindowBounds bounds{};
  GetWindowBounds(hwnd, bounds);
  // The underline follows the window's keyboard cues, as a plain button's.
  const bool hideUnderline = HidesUnderline(hwnd);
  const std::wstring text = WindowText(hwnd);
  const std::wstring caption = hideUnderline ? WithoutPrefix(text) : text;
  const UINT format = kCaptionFormat | (hideUnderline ? DT_NOPREFIX : 0);
  for (int state = 0; state < kStateCount; ++state) {
    RenderState(hwnd, StateImage(hwnd, state), bounds, state, caption, format);
  }
}

int SkinButton(HWND hwnd) {
  if (PreviousProc(hwnd) || !State().SkinTemplateDC) return 0;
  WindowBounds bounds{};
  GetWindowBounds(hwnd, bounds);
  std::array<NewImage, kStateCount> images;
  if (!MakeStateImages(hwnd, bounds, images)) return 0;
  for (int state = 0; state < kStateCount; ++state) {
    SetPropInt(hwnd, StateImageName(state).c_str(),
               reinterpret_cast<std::intptr_t>(images[state].dc.Release()));
    SetPropInt(hwnd, StateBitmapName(state).c_str(),
               reinterpret_cast<std::intptr_t>(images[state].bitmap.Release()));
  }
  RenderButtonStates(hwnd);
  // The dialog manager's default, kept while the type is owner-drawn.
  const bool isDefault = (GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  // Owner-drawn, so the button's own painting no longer covers the skin.
  SendMessageW(hwnd, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
  SetPropInt(hwnd, kPropMouseFlag, 0);
  SetPropInt(hwnd, kPropTimerId, 0);
  SetPropInt(hwnd, kPropOldState, IsWindowEnabled(hwnd) ? kStateNormal : kStateDisabled);
  SetPropInt(hwnd, kPropAlphaLevel, 0);
  SetPropInt(hwnd, kPropDefButton, isDefault ? 1 : 0);
  SetRoundRegion(hwnd, bounds);
  ReplaceWindowProc(hwnd, ButtonWndProc);
  ++State().SkinnedButtonCount;
  return 1;
}

int UnskinButton(HWND hwnd) {
  WNDPROC previous = PreviousProc(hwnd);
  if (!previous) return 0;
  DeleteStateImages(hwnd);
  StopFadeTimer(hwnd);
  const LONG_PTR type = GetPropInt(hwnd, kPropDefButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  for (const wchar_t* name :
       {kPropMouseFlag, kPropTimerId, kPropOldState, kPropAlphaLevel, kPropDefButton}) {
    RemovePropW(hwnd, name);
  }
  // "PROCADDR" goes before the style change, whose messages then reach
  // DefWindowProc rather than a half-dismantled skin.
  RemovePropW(hwnd, kPropProcAddr);
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  SetWindowLongPtrW(hwnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | type);
  SetWindowRgn(hwnd, nullptr, TRUE);
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE);
  --State().SkinnedButtonCount;
  ReleaseSkinTemplateIfUnused();
  return 1;
}

void ResizeStateImages(HWND hwnd) {
  WindowBounds bounds{};
  GetWindowBounds(hwnd, bounds);
  {
    const win32::WindowDC reference = win32::BorrowWindowDC(hwnd);
    if (!reference) return;
    std::array<win32::Bitmap, kStateCount> bitmaps;
    for (win32::Bitmap& bitmap : bitmaps) {
      bitmap.Reset(CreateCompatibleBitmap(reference.Get(), bounds.Width, bounds.Height));
      if (!bitmap) return;  // keeps the images of the old size
    }
    for (int state = 0; state < kStateCount; ++state) {
      const std::wstring name = StateBitmapName(state);
      // The bitmap the image held goes only once it is no longer selected.
      if (!SelectObject(StateImage(hwnd, state), bitmaps[state].Get())) continue;
      win32::Bitmap stale(reinterpret_cast<HBITMAP>(GetPropW(hwnd, name.c_str())));
      SetPropInt(hwnd, name.c_str(), reinterpret_cast<std::intptr_t>(bitmaps[state].Release()));
    }
    RenderButtonStates(hwnd);
  }
  SetRoundRegion(hwnd, bounds);
}

}  // namespace skin
