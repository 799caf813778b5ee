#include "text_encoding.h"

#include "record_view.h"

namespace {

constexpr std::size_t kCharacterSetPosition = 26;  // in 100$a
constexpr std::size_t kLeaderCodingScheme = 9;
constexpr std::size_t kEnoughMultiByteCharacters = 8;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - at < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

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
