#include "marc/field_list_file.h"

#include "marc/field_list.h"
#include "text/text_encoding.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
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

std::string_view Trimmed(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
}

// The lines joined into one list: a comma between two lines unless one of
// them has it already.
std::string JoinLines(std::string_view text) {
  std::string list;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trimmed(text.substr(at, end - at));
    at = end + 1;
    if (line.empty()) continue;
    if (!list.empty() && list.back() != ',' && line.front() != ',') list += ',';
    list.append(line);
  }
  return list;
}

}  // namespace

FieldListFileText FieldListFromFile(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
  FieldListFileText result;
  if (!IsUtf8(bytes)) {
    result.problem = FieldListFileText::Problem::NotUtf8;
    return result;
  }
  std::string list = JoinLines(bytes);
  if (ParseFieldList(list).size() > kMostListItems) {
    result.problem = FieldListFileText::Problem::TooManyItems;
    return result;
  }
  result.list = std::move(list);
  return result;
}

std::string FieldListFileBytes(std::string_view list) {
  std::string bytes(kByteOrderMark);
  bytes.append(list);
  bytes += "\r\n";
  return bytes;
}
