#include "marc/field_list_file.h"

#include "marc/field_code.h"
#include "text/text_encoding.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kFullWidthComma = "\xEF\xBC\x8C";

// Valid UTF-8 text: a NUL is no text (a file saved as UTF-16 without its
// byte order mark holds one in every other byte).
bool IsUtf8Text(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    if (text[at] == '\0') return false;
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const std::size_t length = Utf8SequenceAt(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

bool StartsWithComma(std::string_view text) {
  return text.front() == ',' || text.substr(0, kFullWidthComma.size()) == kFullWidthComma;
}

bool EndsWithComma(std::string_view text) {
  return text.back() == ',' || (text.size() >= kFullWidthComma.size() &&
                                text.substr(text.size() - kFullWidthComma.size()) == kFullWidthComma);
}

// The lines (ended by CR LF, CR or LF) joined into one list: a comma
// between two lines unless one of them has it already.
std::string JoinLines(std::string_view text) {
  std::string list;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimmedItem(text.substr(at, end - at));
    at = end + 1;
    if (line.empty()) continue;
    if (!list.empty() && !EndsWithComma(list) && !StartsWithComma(line)) list += ',';
    list.append(line);
  }
  return list;
}

// Whether the list has more than kMostListItems items, counted as
// ParseFieldList splits a list without line breaks, without making them.
bool TooManyItems(std::string_view list) {
  if (list.empty()) return false;
  std::size_t items = 1;
  for (std::size_t at = 0; at < list.size(); ++at) {
    if (list[at] == ',' || list.compare(at, kFullWidthComma.size(), kFullWidthComma) == 0) ++items;
  }
  return items > kMostListItems;
}

}  // namespace

FieldListFileText FieldListFromFile(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
  FieldListFileText result;
  if (!IsUtf8Text(bytes)) {
    result.problem = FieldListFileText::Problem::NotUtf8;
    return result;
  }
  std::string list = JoinLines(bytes);
  if (TooManyItems(list)) {
    result.problem = FieldListFileText::Problem::TooManyItems;
    return result;
  }
  result.list = std::move(list);
  return result;
}

// The box deletes its CR LF pairs ("215", CR LF, "d" is 215d), and the file
// reads them as commas: written without them, the file reads as the box does.
std::string FieldListFileBytes(std::string_view list) {
  std::string bytes(kByteOrderMark);
  for (std::size_t at = 0; at < list.size();) {
    const std::size_t pair = list.find("\r\n", at);
    bytes.append(list.substr(at, pair - at));
    at = pair == std::string_view::npos ? list.size() : pair + 2;
  }
  bytes += "\r\n";
  return bytes;
}
