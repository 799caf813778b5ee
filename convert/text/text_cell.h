#pragma once
// What a value becomes in a cell of tab-delimited text: tabs are deleted and
// each line break (CR LF, a lone CR or a lone LF) becomes one blank, so that
// no value splits a cell or a row, whichever program reads the file.
#include <string_view>

#include "text/byte_search.h"

namespace text_cell {

// Whether bytes hold a tab or a line break. Records rarely do: when a record
// has none, none of its values needs looking at.
inline bool HoldsTabOrLineBreak(std::string_view bytes) {
  return byte_search::HoldsAnyOf(bytes.data(), bytes.data() + bytes.size(), '\t', '\n', '\r');
}

// Hands the value to append(piece) as the cell holds it, in pieces.
template <typename AppendPiece>
void Write(std::string_view value, AppendPiece&& append) {
  std::size_t start = 0;
  for (std::size_t at = 0; at < value.size(); ++at) {
    const char c = value[at];
    if (c != '\t' && c != '\r' && c != '\n') continue;
    if (at > start) append(value.substr(start, at - start));
    if (c != '\t') append(std::string_view(" "));
    if (c == '\r' && at + 1 < value.size() && value[at + 1] == '\n') ++at;
    start = at + 1;
  }
  if (start < value.size()) append(value.substr(start));
}

}  // namespace text_cell
