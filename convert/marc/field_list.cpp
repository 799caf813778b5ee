#include "marc/field_list.h"

#include <algorithm>
#include <unordered_set>

#include "marc/field_code.h"

const char* const DefaultFieldList = "010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,225a,330a,606a,690a";

namespace {

constexpr std::string_view kFullWidthComma = "\xEF\xBC\x8C";  // U+FF0C, typed with a Chinese input method

// Where an item may end or a CR LF pair may be: at ',', CR or the full-width
// comma's first byte.
std::size_t NextSpecial(std::string_view text, std::size_t from) {
  while (from < text.size() && text[from] != ',' && text[from] != '\r' && text[from] != kFullWidthComma[0]) ++from;
  return from;
}

}  // namespace

// One pass over the text, so that even a list of megabytes (a stored value
// can be anything) is split at once.
std::vector<std::string> ParseFieldList(std::string_view text) {
  std::vector<std::string> items;
  std::string item;
  bool any = false;  // whether anything but CR LF pairs was seen
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t special = NextSpecial(text, at);
    item.append(text, at, special - at);
    any |= special > at;
    at = special;
    if (at == text.size()) break;
    if (text.compare(at, 2, "\r\n") == 0) {
      at += 2;
      continue;
    }
    const std::size_t comma = text[at] == ','                                                  ? 1
                              : text.compare(at, kFullWidthComma.size(), kFullWidthComma) == 0 ? kFullWidthComma.size()
                                                                                               : 0;
    if (comma == 0) {
      item += text[at++];  // a lone CR, or another character beginning with that byte
    } else {
      at += comma;
      items.emplace_back(TrimmedItem(item));
      item.clear();
    }
    any = true;
  }
  if (any) items.emplace_back(TrimmedItem(item));
  return items;
}

std::vector<std::string> ItemsThatCannotMatch(const std::vector<std::string>& items) {
  std::vector<std::string> named;
  std::unordered_set<std::string_view> seen;
  for (const std::string& item : items) {
    if (ParseFieldCode(item).kind == FieldCode::Kind::AlwaysEmpty && seen.insert(item).second) named.push_back(item);
  }
  return named;
}

std::vector<std::string> NearMissesOf(std::string_view item) {
  std::vector<std::string> misses;
  std::string otherCase(item);
  bool letters = false;
  for (char& c : otherCase) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
      letters = true;
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
      letters = true;
    }
  }
  if (letters) misses.push_back(std::move(otherCase));
  std::string unblanked(item);
  unblanked.erase(std::remove(unblanked.begin(), unblanked.end(), ' '), unblanked.end());
  if (unblanked.size() != item.size() && !unblanked.empty()) misses.push_back(std::move(unblanked));
  return misses;
}
