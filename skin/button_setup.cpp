// Setting a push button up for the skin and taking it down again: its four
// state images, made, drawn and resized here.
#include <array>
#include <memory>
#include <new>

#include "skin_internal.h"
#include "win32_text.h"

namespace skin {

namespace {
constexpr COLORREF kCaptionColour = RGB(0, 0, 0);
constexpr COLORREF kDisabledCaptionColour = RGB(128, 128, 128);
// Centred on one line, cut with an ellipsis; "&" underlines the next letter.
constexpr UINT kCaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

RECT MakeRect(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

void DrawTextInRect(HDC dc, const std::wstring& text, int x, int y, int width, int height, UINT format) {
  RECT rect = MakeRect(x, y, width, height);
  DrawTextW(dc, text.c_str(), -1, &rect, format);
}

void DrawFocusRectAt(HDC dc, int x, int y, int width, int height) {
  const RECT rect = MakeRect(x, y, width, height);
  DrawFocusRect(dc, &rect);
}

void CopyTemplatePieces(HDC image, int width, int height, int state) {
  HDC skinTemplate = State().skinTemplate.Get();
  for (const NinePiece& piece : NinePieces(width, height, state)) {
    const PieceRect& d = piece.destination;
    const PieceRect& s = piece.source;
    if (piece.copy == PieceCopy::Copy) {
      BitBlt(image, d.x, d.y, d.width, d.height, skinTemplate, s.x, s.y, SRCCOPY);
    } else {
      StretchBlt(image, d.x, d.y, d.width, d.height, skinTemplate, s.x, s.y, s.width, s.height, SRCCOPY);
    }
  }
}

void RenderState(HWND hwnd, HDC image, const WindowBounds& bounds, int state, const std::wstring& caption,
                 UINT format) {
  // The button's font while its image is drawn; without one of its own, the
  // DC's, the system font, as a plain button has.
  const win32::Selection font = win32::Select(image, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  SetBkMode(image, TRANSPARENT);
  CopyTemplatePieces(image, bounds.width, bounds.height, state);
  SetTextColor(image, state == kStateDisabled ? kDisabledCaptionColour : kCaptionColour);
  const PieceRect text = CaptionRect(bounds.width, bounds.height);
  DrawTextInRect(image, caption, text.x, text.y, text.width, text.height, format);
  if (GetFocus() == hwnd) DrawFocusRectAt(image, text.x, text.y, text.width, text.height);
}

// The rounded outline: corners cut by a 3 x 3 ellipse.
void SetRoundRegion(HWND hwnd) {
  WindowBounds bounds{};
  GetWindowBounds(hwnd, bounds);
  win32::Region region(CreateRoundRectRgn(0, 0, bounds.width + 1, bounds.height + 1, 3, 3));
  // The window owns the region once it is set.
  if (region && SetWindowRgn(hwnd, region.Get(), TRUE)) region.Release();
}

// The button as it was before the skin: its own push button type, its own
// rectangle, its own painting.
void RestorePlainButton(HWND hwnd, bool isDefault) {
  const LONG_PTR type = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  SetWindowLongPtrW(hwnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | type);
  SetWindowRgn(hwnd, nullptr, TRUE);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE);
}

bool HidesUnderline(HWND hwnd) { return (SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0; }
}  // namespace

bool GetWindowBounds(HWND hwnd, WindowBounds& bounds) {
  RECT rect{};
  const bool ok = GetWindowRect(hwnd, &rect) != 0;
  bounds.width = rect.right - rect.left;
  bounds.height = rect.bottom - rect.top;
  return ok;
}

SkinnedButton::SkinnedButton(HWND button, bool isDefault)
    : window_(button), shownState_(IsWindowEnabled(button) ? kStateNormal : kStateDisabled), isDefault_(isDefault) {}

SkinnedButton::~SkinnedButton() { StopFadeTimer(); }

// In the screen's format: compatible with the window DC, not with the
// memory DC.
bool SkinnedButton::MakeImages() {
  WindowBounds bounds{};
  GetWindowBounds(window_, bounds);
  const win32::WindowDC reference = win32::BorrowWindowDC(window_);
  if (!reference) return false;
  for (MemoryImage& image : images_) {
    if (!image.Make(reference.Get(), bounds.width, bounds.height)) return false;
  }
  return true;
}

void SkinnedButton::RenderImages() {
  WindowBounds bounds{};
  GetWindowBounds(window_, bounds);
  // The underline follows the window's keyboard cues, as a plain button's.
  const bool hideUnderline = HidesUnderline(window_);
  const std::wstring text = WindowText(window_);
  const std::wstring caption = hideUnderline ? WithoutPrefix(text) : text;
  const UINT format = kCaptionFormat | (hideUnderline ? DT_NOPREFIX : 0);
  for (int state = 0; state < kStateCount; ++state) {
    RenderState(window_, Image(state), bounds, state, caption, format);
  }
}

void SkinnedButton::Resize() {
  WindowBounds bounds{};
  GetWindowBounds(window_, bounds);
  {
    const win32::WindowDC reference = win32::BorrowWindowDC(window_);
    if (!reference) return;
    std::array<win32::Bitmap, kStateCount> bitmaps;
    for (win32::Bitmap& bitmap : bitmaps) {
      bitmap.Reset(CreateCompatibleBitmap(reference.Get(), bounds.width, bounds.height));
      if (!bitmap) return;  // keeps the images of the old size
    }
    for (int state = 0; state < kStateCount; ++state) images_[state].Replace(std::move(bitmaps[state]));
    RenderImages();
  }
  SetRoundRegion(window_);
}

bool SkinButton(HWND hwnd) {
  if (IsAttached(hwnd) || !State().skinTemplate) return false;
  // The dialog manager's default, kept while the type is owner-drawn.
  const bool isDefault = (GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  std::unique_ptr<SkinnedButton> button(new (std::nothrow) SkinnedButton(hwnd, isDefault));
  if (!button || !button->MakeImages()) return false;
  button->RenderImages();
  // Owner-drawn, so the button's own painting no longer covers the skin.
  SendMessageW(hwnd, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
  SetRoundRegion(hwnd);
  if (!SetWindowSubclass(hwnd, ButtonSubclassProc, kSkinSubclassId, reinterpret_cast<DWORD_PTR>(button.get()))) {
    RestorePlainButton(hwnd, isDefault);
    return false;
  }
  button.release();  // the subclass holds it now; UnskinButton takes it back
  ++State().skinnedButtonCount;
  return true;
}

bool UnskinButton(HWND hwnd) {
  std::unique_ptr<SkinnedButton> button(SkinnedButtonOf(hwnd));
  if (!button) return false;
  // The subclass goes before the style and the region change, whose
  // messages then reach the button's own procedure rather than a
  // half-dismantled skin.
  RemoveWindowSubclass(hwnd, ButtonSubclassProc, kSkinSubclassId);
  const bool isDefault = button->IsDefault();
  button.reset();
  RestorePlainButton(hwnd, isDefault);
  --State().skinnedButtonCount;
  ReleaseSkinTemplateIfUnused();
  return true;
}

}  // namespace skin
