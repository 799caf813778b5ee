#include "nine_piece_geometry.h"

#include "template_colors.h"

namespace {
// Inside a slice: columns 0-3 left, 4 middle, 5-8 right; rows 0-4 top,
// 5-15 middle band, 16-20 bottom.
constexpr int kCornerWidth = 4;
constexpr int kTopHeight = 5;
constexpr int kBottomHeight = 5;
constexpr int kMiddleColumn = 4;
constexpr int kRightColumn = 5;
constexpr int kBandRow = 5;
constexpr int kBandHeight = 11;
constexpr int kBottomRow = 16;
}  // namespace

std::array<NinePiece, 9> NinePieces(int w, int h, int state) {
  const int top = kSliceHeight * state;
  const int middle_width = w - 2 * kCornerWidth;
  const int middle_height = h - kTopHeight - kBottomHeight;
  const int right = w - kCornerWidth;
  const int bottom = h - kBottomHeight;
  const PieceCopy copy = PieceCopy::Copy;
  const PieceCopy stretch = PieceCopy::Stretch;
  return {{
      {copy, {0, 0, kCornerWidth, kTopHeight}, {0, top, kCornerWidth, kTopHeight}},
      {stretch, {kCornerWidth, 0, middle_width, kTopHeight}, {kMiddleColumn, top, 1, kTopHeight}},
      {copy, {right, 0, kCornerWidth, kTopHeight}, {kRightColumn, top, kCornerWidth, kTopHeight}},
      {stretch, {0, kTopHeight, kCornerWidth, middle_height},
       {0, top + kBandRow, kCornerWidth, kBandHeight}},
      {stretch, {right, kTopHeight, kCornerWidth, middle_height},
       {kRightColumn, top + kBandRow, kCornerWidth, kBandHeight}},
      {copy, {0, bottom, kCornerWidth, kBottomHeight},
       {0, top + kBottomRow, kCornerWidth, kBottomHeight}},
      {copy, {right, bottom, kCornerWidth, kBottomHeight},
       {kRightColumn, top + kBottomRow, kCornerWidth, kBottomHeight}},
      {stretch, {kCornerWidth, bottom, middle_width, kBottomHeight},
       {kMiddleColumn, top + kBottomRow, 1, kBottomHeight}},
      {stretch, {kCornerWidth, kTopHeight, middle_width, middle_height},
       {kMiddleColumn, top + kBandRow, 1, kBandHeight}},
  }};
}

PieceRect CaptionRect(int width, int height) { return {2, 2, width - 4, height - 4}; }
