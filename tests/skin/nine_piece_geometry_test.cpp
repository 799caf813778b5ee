#include "skin_core.h"

#include <gtest/gtest.h>

#include <vector>

using namespace skin;

namespace {
bool SameRect(const PieceRect& r, int x, int y, int w, int h) {
  return r.x == x && r.y == y && r.width == w && r.height == h;
}

// Marks every destination pixel; the count per pixel shows gaps and overlaps.
std::vector<int> Coverage(int w, int h) {
  std::vector<int> hits(static_cast<size_t>(w * h), 0);
  for (const NinePiece& p : NinePieces(w, h, 0)) {
    for (int y = p.destination.y; y < p.destination.y + p.destination.height; ++y) {
      for (int x = p.destination.x; x < p.destination.x + p.destination.width; ++x) {
        ++hits[static_cast<size_t>(y * w + x)];
      }
    }
  }
  return hits;
}
}  // namespace

TEST(NinePieceGeometry, Button75x25) {
  const auto p = NinePieces(75, 25, 0);
  EXPECT_TRUE(SameRect(p[0].destination, 0, 0, 4, 5));
  EXPECT_TRUE(SameRect(p[1].destination, 4, 0, 67, 5));
  EXPECT_TRUE(SameRect(p[2].destination, 71, 0, 4, 5));
  EXPECT_TRUE(SameRect(p[3].destination, 0, 5, 4, 15));
  EXPECT_TRUE(SameRect(p[4].destination, 71, 5, 4, 15));
  EXPECT_TRUE(SameRect(p[5].destination, 0, 20, 4, 5));
  EXPECT_TRUE(SameRect(p[6].destination, 71, 20, 4, 5));
  EXPECT_TRUE(SameRect(p[7].destination, 4, 20, 67, 5));
  EXPECT_TRUE(SameRect(p[8].destination, 4, 5, 67, 15));
  EXPECT_TRUE(SameRect(p[8].source, 4, 5, 1, 11));
  EXPECT_TRUE(SameRect(CaptionRect(75, 25), 2, 2, 71, 21));
}

TEST(NinePieceGeometry, CornersAreCopiedAndTheRestStretched) {
  const auto p = NinePieces(75, 25, 0);
  for (int i : {0, 2, 5, 6}) EXPECT_EQ(p[i].copy, PieceCopy::Copy) << i;
  for (int i : {1, 3, 4, 7, 8}) EXPECT_EQ(p[i].copy, PieceCopy::Stretch) << i;
}

TEST(NinePieceGeometry, SourcesFollowTheStateSlice) {
  for (int state = 0; state < 4; ++state) {
    const int top = 21 * state;
    const auto p = NinePieces(75, 25, state);
    EXPECT_TRUE(SameRect(p[0].source, 0, top, 4, 5));
    EXPECT_TRUE(SameRect(p[1].source, 4, top, 1, 5));
    EXPECT_TRUE(SameRect(p[2].source, 5, top, 4, 5));
    EXPECT_TRUE(SameRect(p[3].source, 0, top + 5, 4, 11));
    EXPECT_TRUE(SameRect(p[4].source, 5, top + 5, 4, 11));
    EXPECT_TRUE(SameRect(p[5].source, 0, top + 16, 4, 5));
    EXPECT_TRUE(SameRect(p[6].source, 5, top + 16, 4, 5));
    EXPECT_TRUE(SameRect(p[7].source, 4, top + 16, 1, 5));
    EXPECT_TRUE(SameRect(p[8].source, 4, top + 5, 1, 11));
  }
}

TEST(NinePieceGeometry, PiecesTileEveryButtonOfAtLeast8x10ExactlyOnce) {
  for (int w : {8, 9, 75, 200}) {
    for (int h : {10, 11, 25, 60}) {
      for (int hits : Coverage(w, h)) ASSERT_EQ(hits, 1) << w << "x" << h;
    }
  }
}

TEST(NinePieceGeometry, Button8x10IsFourCornersWithEmptyMiddlePieces) {
  const auto p = NinePieces(8, 10, 0);
  EXPECT_TRUE(SameRect(p[2].destination, 4, 0, 4, 5));
  EXPECT_TRUE(SameRect(p[6].destination, 4, 5, 4, 5));
  for (int i : {1, 7, 8}) EXPECT_EQ(p[i].destination.width, 0) << i;
  for (int i : {3, 4, 8}) EXPECT_EQ(p[i].destination.height, 0) << i;
}

TEST(NinePieceGeometry, SmallButtonsGetNegativeExtentsUnchanged) {
  const auto p = NinePieces(6, 8, 0);
  EXPECT_EQ(p[1].destination.width, -2);
  EXPECT_EQ(p[3].destination.height, -2);
  EXPECT_EQ(p[2].destination.x, 2);
}
