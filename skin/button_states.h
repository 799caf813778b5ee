#pragma once
// The four looks of a skinned button. The number picks the template slice,
// the state image ("HDC" + n) and is what "OLDSTATE" holds.
enum ButtonState : int {
  kStateNormal = 0,
  kStateHover = 1,
  kStatePressed = 2,
  kStateDisabled = 3,
};
constexpr int kStateCount = 4;
