#pragma once
// Where the nine pieces of a template slice go in a button image of W x H.
// Corners are copied one to one, edges and centre are stretched from the
// template's middle column and middle band. Pure arithmetic, no drawing.
#include <array>

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

// The pieces in drawing order for a button of width x height and state n
// (0..3). Narrow or low buttons get negative extents, and the pieces overlap
// in this order; the caller passes them on unchanged.
std::array<NinePiece, 9> NinePieces(int width, int height, int state);

// The caption's rectangle, which the focus rectangle shares: 2 pixels in
// from every side of the button.
PieceRect CaptionRect(int width, int height);
