#pragma once
// The colours of the 9 x 84 skin template: four slices of 21 rows, one per
// button state, painted pixel by pixel when the template is built.
#include <cstdint>

constexpr int kTemplateWidth = 9;
constexpr int kTemplateHeight = 84;
constexpr int kSliceHeight = 21;

// kTemplateColors[y][x] is the COLORREF (0x00BBGGRR) of template pixel (x, y).
extern const std::uint32_t kTemplateColors[kTemplateHeight][kTemplateWidth];
