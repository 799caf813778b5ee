#pragma once
// The arithmetic of a button's fade: every 15 ms the target image is blended
// over what the button shows, with a constant alpha that rises by 3 per tick.
// Blends accumulate, so the picture moves quickly at first and settles once
// the alpha would pass 255.
#include <cstdint>

constexpr unsigned kFadeTimerId = 1;
constexpr unsigned kFadeIntervalMs = 15;
constexpr int kAlphaStep = 3;
constexpr int kMaxAlpha = 255;

// Starting alphas: a hover fades in gently from 70, a press shows quicker
// (10 for the mouse, 50 for the space key), a return to normal starts at 0.
constexpr int kHoverStartAlpha = 70;
constexpr int kMousePressStartAlpha = 10;
constexpr int kKeyPressStartAlpha = 50;
constexpr int kReleaseStartAlpha = 0;

struct FadeAdvance {
  bool finished;   // the fade is over: stop the timer
  int next_alpha;  // alpha for the next tick (0 once finished)
};

// What follows a tick that blended with `alpha`.
FadeAdvance AdvanceFade(int alpha);

// The blend function as one 32-bit value: constant alpha in bits 16-23,
// source-over, no per-pixel alpha.
std::uint32_t PackBlendFunction(int alpha);
