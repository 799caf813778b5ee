#pragma once
// FNV-1a (64-bit) over the template's 756 COLORREF values, row by row, each
// as four little-endian bytes. The expected value was computed by a separate
// script straight from the colour table's text, not from the module's data.
#include <cstdint>

constexpr std::uint64_t kExpectedTemplateDigest = 0xad540cd23eae46d6ull;

template <typename PixelAt>
std::uint64_t TemplateDigest(PixelAt pixel_at) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (int y = 0; y < 84; ++y) {
    for (int x = 0; x < 9; ++x) {
      const std::uint32_t value = pixel_at(x, y);
      for (int byte = 0; byte < 4; ++byte) {
        hash ^= (value >> (8 * byte)) & 0xFFu;
        hash *= 0x100000001b3ull;
      }
    }
  }
  return hash;
}
