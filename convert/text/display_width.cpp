#include "text/display_width.h"

#include <algorithm>

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) || (c >= 0x1F900 && c <= 0x1F9FF) ||
         (c >= 0x20000 && c <= 0x3FFFD);
}

std::size_t DisplayWidth(std::string_view utf8, std::size_t most) {
  std::size_t width = 0;
  for (std::size_t at = 0; at < utf8.size() && utf8[at] != '\n' && width < most;) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = std::min<std::size_t>(lead < 0xC0   ? 1
                                                     : lead < 0xE0 ? 2
                                                     : lead < 0xF0 ? 3
                                                                   : 4,
                                                     utf8.size() - at);
    char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) c = (c << 6) | (static_cast<unsigned char>(utf8[at + i]) & 0x3Fu);
    width += IsWide(c) ? 2 : 1;
    at += length;
  }
  return std::min(width, most);
}
