#pragma once
// The two encodings of record and output text, and how a record tells which
// one it is written in.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class RecordView;

enum class TextEncoding { Gbk, Utf8 };

// The encoding a record declares: 100$a positions 26-27 decide when they hold
// two digits ("50", ISO 10646, is UTF-8; any other pair is GBK); without them
// a leader position 9 of 'a' (the MARC 21 convention) means UTF-8; otherwise
// only data that cannot be GBK by chance - valid UTF-8 holding at least eight
// multi-byte characters - is UTF-8. Everything else is GBK.
TextEncoding RecordEncoding(const RecordView& view, std::optional<std::string_view> field100a);

// Byte length of the character that text begins with (1 for a stray byte or
// one cut short); text is not empty.
std::size_t FirstCharacterLength(std::string_view text, TextEncoding encoding);

// The length of the valid UTF-8 sequence at text[at], or 0 when there is
// none (overlong forms, surrogates and code points past U+10FFFF are not).
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at);

bool IsAscii(std::string_view text);

// The code point of a valid UTF-8 sequence of 2 to 4 bytes.
inline char32_t Utf8CodePoint(std::string_view sequence) {
  const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(sequence[i])); };
  const std::size_t length = sequence.size();
  char32_t code = byte(0) & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) code = code << 6 | (byte(i) & 0x3F);
  return code;
}

// Appends a code point of the BMP above ASCII (not a surrogate) in UTF-8.
inline void AppendUtf8(char16_t unit, std::string& out) {
  const char32_t code = unit;
  if (code < 0x800) {
    const char bytes[] = {static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))};
    out.append(bytes, 2);
  } else {
    const char bytes[] = {static_cast<char>(0xE0 | code >> 12), static_cast<char>(0x80 | (code >> 6 & 0x3F)),
                          static_cast<char>(0x80 | (code & 0x3F))};
    out.append(bytes, 3);
  }
}
