#pragma once
// The skin's pure pieces: the template's colours, where the nine pieces of a
// slice go in a button image, the arithmetic of the fade, and how a window
// is treated by its class name. No Win32 here: what the rest of the skin
// does with windows stays apart from these rules, which the Wine tests check
// through the buttons and windows they shape.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace skin {

// The 9 x 84 template: four slices of 21 rows, one per button state.
constexpr int kTemplateWidth = 9;
constexpr int kTemplateHeight = 84;
constexpr int kSliceHeight = 21;
// kTemplateColors[y][x] is the COLORREF (0x00BBGGRR) of template pixel (x, y).
extern const std::uint32_t kTemplateColors[kTemplateHeight][kTemplateWidth];

// The four looks of a skinned button. The number picks the template slice
// and the state image.
enum ButtonState : int {
  kStateNormal = 0,
  kStateHover = 1,
  kStatePressed = 2,
  kStateDisabled = 3,
};
constexpr int kStateCount = 4;

struct PieceRect {
  int x;
  int y;
  int width;
  int height;
};

enum class PieceCopy { Copy, Stretch };

struct NinePiece {
  PieceCopy copy;
  PieceRect destination;  // in the button image
  PieceRect source;       // in the whole template (slice offset included)
};

// The pieces in drawing order for a button of width x height in `state`:
// corners copied one to one, edges and centre stretched from the slice's
// middle column and middle band. Buttons narrower than 8 or lower than 10
// get negative extents and overlapping pieces, passed on unchanged.
std::array<NinePiece, 9> NinePieces(int width, int height, int state);
// The caption's rectangle, which the focus rectangle shares.
PieceRect CaptionRect(int width, int height);

// Every 15 ms the target image is blended over what the button shows with a
// constant alpha rising by 3; blends accumulate, so the picture moves quickly
// at first and the fade ends once the alpha would pass 255.
constexpr unsigned kFadeTimerId = 1;
constexpr unsigned kFadeIntervalMs = 15;
// A hover fades in gently, a press shows quicker (mouse quicker than the
// space key), a return to normal starts from nothing.
constexpr int kHoverStartAlpha = 70;
constexpr int kMousePressStartAlpha = 10;
constexpr int kKeyPressStartAlpha = 50;
constexpr int kReleaseStartAlpha = 0;

struct FadeAdvance {
  bool finished;  // the fade is over: stop the timer
  int nextAlpha;  // alpha of the next tick (0 once finished)
};
// What follows a tick that blended with `alpha`.
FadeAdvance AdvanceFade(int alpha);

enum class WindowRole {
  Button,  // skinned when it is a push button
  Host,    // descendants attached, the window itself hooked
  Other,   // ignored at the top; given the flat frame as a descendant
};
// Class names compare without regard to case.
WindowRole RoleOfClass(std::wstring_view className);
// Windows attached when activation passes to or from a host: forms, dialogs
// (message boxes and file dialogs) and the help window.
bool IsActivationHostClass(std::wstring_view className);

// The caption as shown with the "&" underline hidden: a single "&" goes, "&&"
// stays one "&". Drawn without prefix processing it looks as DT_HIDEPREFIX
// promises, which Wine's DrawText ignores.
std::wstring WithoutPrefix(std::wstring_view caption);

}  // namespace skin
