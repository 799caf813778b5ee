#include "field_list.h"

const char* const DefaultFieldList =
    "010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,225a,330a,606a,690a";

namespace {

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  std::size_t at = 0;
  while ((at = text.find(from, at)) != std::string::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

}  // namespace

std::vector<std::string> ParseFieldList(std::string_view text) {
  std::string normalised = ReplaceAll(std::string(text), "，", ",");
  normalised = ReplaceAll(std::move(normalised), "\r\n", "");
  std::vector<std::string> items;
  if (normalised.empty()) return items;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t comma = normalised.find(',', begin);
    items.push_back(normalised.substr(begin, comma - begin));
    if (comma == std::string::npos) break;
    begin = comma + 1;
  }
  return items;
}
