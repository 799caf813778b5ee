#include "text/text_encoding.h"

bool IsAscii(std::string_view text) {
  unsigned char any = 0;
  for (unsigned char c : text) any |= c;
  return any < 0x80;
}

std::size_t FirstCharacterLength(std::string_view text, TextEncoding encoding) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return 1;
  if (encoding == TextEncoding::Gbk) return (lead >= 0x81 && lead <= 0xFE && text.size() >= 2) ? 2 : 1;
  const std::size_t length = Utf8SequenceAt(text, 0);
  return length > 0 ? length : 1;
}
