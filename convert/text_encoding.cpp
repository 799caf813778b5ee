#include "text_encoding.h"

#include "record_view.h"

namespace {

constexpr std::size_t kCharacterSetPosition = 26;  // in 100$a
constexpr std::size_t kLeaderCodingScheme = 9;
constexpr std::size_t kEnoughMultiByteCharacters = 8;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool IsAscii(std::string_view text) {
  unsigned char any = 0;
  for (unsigned char c : text) any |= c;
  return any < 0x80;
}

namespace {

bool IsClearlyUtf8(std::string_view data) {
  std::size_t multiByte = 0;
  for (std::size_t at = 0; at < data.size();) {
    const std::size_t length = Utf8SequenceAt(data, at);
    if (length == 0) return false;
    multiByte += length > 1;
    at += length;
  }
  return multiByte >= kEnoughMultiByteCharacters;
}

}  // namespace

TextEncoding RecordEncoding(const RecordView& view, std::optional<std::string_view> field100a) {
  if (field100a && field100a->size() >= kCharacterSetPosition + 2) {
    const std::string_view set = field100a->substr(kCharacterSetPosition, 2);
    if (IsDigit(set[0]) && IsDigit(set[1])) return set == "50" ? TextEncoding::Utf8 : TextEncoding::Gbk;
  }
  const std::string_view record = view.Record();
  if (record.size() > kLeaderCodingScheme && record[kLeaderCodingScheme] == 'a') return TextEncoding::Utf8;
  return IsClearlyUtf8(view.Data()) ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

std::size_t FirstCharacterLength(std::string_view text, TextEncoding encoding) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return 1;
  if (encoding == TextEncoding::Gbk) return (lead >= 0x81 && lead <= 0xFE && text.size() >= 2) ? 2 : 1;
  const std::size_t length = Utf8SequenceAt(text, 0);
  return length > 0 ? length : 1;
}
