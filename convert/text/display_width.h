#pragma once
// How wide text shows: two columns for a wide character (CJK, Hangul, the
// full-width forms, the pictographs) and one for any other, in a terminal as
// in the East Asian fonts of a spreadsheet.
#include <cstddef>
#include <limits>
#include <string_view>

bool IsWide(char32_t c);

// The width of the first line of UTF-8 text; counting stops at `most`.
std::size_t DisplayWidth(std::string_view utf8, std::size_t most = std::numeric_limits<std::size_t>::max());
