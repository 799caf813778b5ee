#include "fade_step.h"

FadeAdvance AdvanceFade(int alpha) {
  if (alpha + kAlphaStep > kMaxAlpha) return {true, 0};
  return {false, alpha + kAlphaStep};
}

std::uint32_t PackBlendFunction(int alpha) {
  return (static_cast<std::uint32_t>(alpha) & 0xFFu) << 16;
}
