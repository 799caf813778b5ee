// The colour table against a second reading of the same source: a digest of
// all 756 values and the colour count, both worked out apart from this code.
#include "skin_core.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "template_digest.h"

using namespace skin;

TEST(TemplateColors, DigestOfAllPixelsMatchesTheIndependentTranscription) {
  EXPECT_EQ(TemplateDigest([](int x, int y) { return kTemplateColors[y][x]; }),
            kExpectedTemplateDigest);
}

TEST(TemplateColors, Holds258DistinctColours) {
  std::set<std::uint32_t> colours;
  for (const auto& row : kTemplateColors) colours.insert(std::begin(row), std::end(row));
  EXPECT_EQ(colours.size(), 258u);
}

TEST(TemplateColors, SpotValues) {
  EXPECT_EQ(kTemplateColors[0][0], 0xE6BA78u);
  EXPECT_EQ(kTemplateColors[0][4], 0xD58F1Bu);
  EXPECT_EQ(kTemplateColors[1][4], 0xFFFFFFu);
  EXPECT_EQ(kTemplateColors[10][4], 0xF9EAD7u);
  EXPECT_EQ(kTemplateColors[26][1], 0xFBC34Cu);
  EXPECT_EQ(kTemplateColors[52][4], 0xF6E1C6u);
  EXPECT_EQ(kTemplateColors[73][4], 0xEEEEEEu);
  EXPECT_EQ(kTemplateColors[83][8], 0xD8D8D8u);
  // Not mirror-symmetric everywhere.
  EXPECT_EQ(kTemplateColors[19][0], 0xE2B064u);
  EXPECT_EQ(kTemplateColors[19][8], 0xE1AF62u);
  EXPECT_EQ(kTemplateColors[24][2], 0xFDE3AEu);
  EXPECT_EQ(kTemplateColors[24][6], 0xFEE4B0u);
}

TEST(TemplateColors, BorderRunsAreBlueInColourSlicesAndGreyInTheDisabledOne) {
  for (int slice = 0; slice < 4; ++slice) {
    const std::uint32_t border = slice == 3 ? 0xBFBFBFu : 0xD58F1Bu;
    const int top = slice * kSliceHeight;
    for (int row = 3; row <= 17; ++row) {
      EXPECT_EQ(kTemplateColors[top + row][0], border) << slice << "." << row;
      EXPECT_EQ(kTemplateColors[top + row][8], border) << slice << "." << row;
    }
    for (int x = 3; x <= 5; ++x) {
      EXPECT_EQ(kTemplateColors[top][x], border);
      EXPECT_EQ(kTemplateColors[top + 20][x], border);
    }
  }
}

TEST(TemplateColors, DisabledSliceIsGrey) {
  for (int y = 3 * kSliceHeight; y < kTemplateHeight; ++y) {
    for (std::uint32_t c : kTemplateColors[y]) {
      EXPECT_EQ(c & 0xFF, (c >> 8) & 0xFF);
      EXPECT_EQ(c & 0xFF, (c >> 16) & 0xFF);
    }
  }
}
