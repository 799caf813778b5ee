#pragma once
// The two encodings of record and output text, and how a record tells which
// one it is written in.
#include <cstddef>
#include <optional>
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
