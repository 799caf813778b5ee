#include "skin_core.h"

#include <gtest/gtest.h>

using namespace skin;

namespace {
struct Fade {
  int steps;
  int last_alpha;
};

// Runs the fade as the timer does: one blend per tick until it finishes.
Fade RunFade(int start) {
  Fade fade{0, -1};
  int alpha = start;
  for (;;) {
    ++fade.steps;
    fade.last_alpha = alpha;
    const FadeAdvance next = AdvanceFade(alpha);
    if (next.finished) {
      EXPECT_EQ(next.nextAlpha, 0);
      return fade;
    }
    alpha = next.nextAlpha;
  }
}
}  // namespace

TEST(FadeStep, StepCountsAndLastAlphaFromEachStartingAlpha) {
  const struct {
    int start, steps, last;
  } cases[] = {{kReleaseStartAlpha, 86, 255},
               {kMousePressStartAlpha, 82, 253},
               {kKeyPressStartAlpha, 69, 254},
               {kHoverStartAlpha, 62, 253}};
  for (const auto& c : cases) {
    const Fade fade = RunFade(c.start);
    EXPECT_EQ(fade.steps, c.steps) << "from " << c.start;
    EXPECT_EQ(fade.last_alpha, c.last) << "from " << c.start;
  }
}

TEST(FadeStep, StartingAlphasAndTimer) {
  EXPECT_EQ(kHoverStartAlpha, 70);
  EXPECT_EQ(kMousePressStartAlpha, 10);
  EXPECT_EQ(kKeyPressStartAlpha, 50);
  EXPECT_EQ(kReleaseStartAlpha, 0);
  EXPECT_EQ(kFadeTimerId, 1u);
  EXPECT_EQ(kFadeIntervalMs, 15u);
}

