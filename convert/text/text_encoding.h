#pragma once
// The two encodings of record and output text, and the characters of each.
#include <cstddef>
#include <string_view>

enum class TextEncoding { Gbk, Utf8 };

// Byte length of the character that text begins with (1 for a stray byte or
// one cut short); text is not empty.
std::size_t FirstCharacterLength(std::string_view text, TextEncoding encoding);

// The length of the valid UTF-8 sequence at text[at], or 0 when there is
// none (overlong forms, surrogates and code points past U+10FFFF are not).
// Inline: it runs for every character of UTF-8 text converted.
inline std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
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

bool IsAscii(std::string_view text);

// The code point of a valid UTF-8 sequence of 2 to 4 bytes.
inline char32_t Utf8CodePoint(std::string_view sequence) {
  const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(sequence[i])); };
  const std::size_t length = sequence.size();
  char32_t code = byte(0) & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) code = code << 6 | (byte(i) & 0x3F);
  return code;
}
