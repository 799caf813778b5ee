#include "button_rendering.h"

#include "button_states.h"
#include "drawing_helpers.h"
#include "nine_piece_geometry.h"
#include "skin_state.h"
#include "window_roles.h"
#include "window_props.h"

namespace {
constexpr COLORREF kCaptionColour = RGB(0, 0, 0);
constexpr COLORREF kDisabledCaptionColour = RGB(128, 128, 128);
// Centred on one line, cut with an ellipsis; "&" still underlines.
constexpr UINT kCaptionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

void CopyTemplatePieces(HDC image, int width, int height, int state) {
  for (const NinePiece& piece : NinePieces(width, height, state)) {
    const PieceRect& d = piece.destination;
    const PieceRect& s = piece.source;
    if (piece.copy == PieceCopy::Copy) {
      BitBlt(image, d.x, d.y, d.width, d.height, SkinTemplateDC, s.x, s.y, SRCCOPY);
    } else {
      StretchBlt(image, d.x, d.y, d.width, d.height, SkinTemplateDC, s.x, s.y, s.width,
                 s.height, SRCCOPY);
    }
  }
}

bool HidesUnderline(HWND hwnd) {
  return (SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0;
}

void RenderState(HWND hwnd, HDC image, int width, int height, int state,
                 const std::wstring& caption, UINT format) {
  // The image keeps the button's font; the one it had before is a stock font.
  if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0))) {
    SelectObject(image, font);
  }
  SetBkMode(image, TRANSPARENT);
  CopyTemplatePieces(image, width, height, state);
  SetTextColor(image, state == kStateDisabled ? kDisabledCaptionColour : kCaptionColour);
  const PieceRect text = CaptionRect(width, height);
  DrawTextInRect(image, caption, text.x, text.y, text.width, text.height, format);
  if (GetFocus() == hwnd) DrawFocusRectAt(image, text.x, text.y, text.width, text.height);
}
}  // namespace

void RenderButtonStates(HWND hwnd) {
  WindowBounds bounds{};
  GetWindowBounds(hwnd, bounds);
  // The "&" underline follows the window's keyboard cues, as a plain button's.
  const bool hideUnderline = HidesUnderline(hwnd);
  const std::wstring text = GetWindowCaption(hwnd);
  const std::wstring caption = hideUnderline ? WithoutPrefix(text) : text;
  const UINT format = kCaptionFormat | (hideUnderline ? DT_NOPREFIX : 0);
  for (int state = 0; state < kStateCount; ++state) {
    RenderState(hwnd, GetStateDC(hwnd, state), bounds.Width, bounds.Height, state, caption,
                format);
  }
}
