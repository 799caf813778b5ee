#include "recoder.h"

namespace {
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";
}  // namespace

Recoder::Recoder(TextEncoding from, TextEncoding to) : from_(from), to_(to) {
  if (to == TextEncoding::Gbk) gbkCodes_ = &cp936::Encoding();
}

std::size_t Recoder::Convert(std::string_view text, std::string& out) {
  if ((from_ == TextEncoding::Gbk && to_ == TextEncoding::Gbk) || IsAscii(text)) {
    out += text;
    return 0;
  }
  if (from_ == TextEncoding::Gbk) return FromGbk(text, out);
  return to_ == TextEncoding::Gbk ? ToGbk(text, out) : CheckUtf8(text, out);
}

// A byte that begins no character, and a pair the code page leaves empty,
// each become one U+FFFD.
std::size_t Recoder::FromGbk(std::string_view text, std::string& out) const {
  std::size_t replaced = 0;
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      out += text[at++];
      continue;
    }
    const cp936::Character character = cp936::CharacterAt(text, at);
    at += character.length;
    if (character.unit != 0) {
      AppendUtf8(character.unit, out);
    } else {
      out += kReplacementUtf8;
      ++replaced;
    }
  }
  return replaced;
}

// A byte that begins no valid UTF-8 sequence becomes one '?'; a character
// GBK lacks becomes '?', or "??" beyond the BMP as Windows writes a
// surrogate pair.
std::size_t Recoder::ToGbk(std::string_view text, std::string& out) const {
  std::size_t replaced = 0;
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      out += text[at++];
      continue;
    }
    const std::size_t length = Utf8SequenceAt(text, at);
    const std::uint16_t code = length == 2 || length == 3 ? (*gbkCodes_)[Utf8CodePoint(text.substr(at, length))] : 0;
    at += length > 0 ? length : 1;
    if (code > 0xFF) {
      const char bytes[] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
      out.append(bytes, 2);
    } else if (code != 0) {
      out += static_cast<char>(code);
    } else {
      out += length == 4 ? "??" : "?";
      ++replaced;
    }
  }
  return replaced;
}

// Valid UTF-8 is copied as it is, in runs; a byte that begins no valid
// sequence becomes one U+FFFD.
std::size_t Recoder::CheckUtf8(std::string_view text, std::string& out) {
  std::size_t replaced = 0;
  std::size_t runStart = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, at);
    if (length > 0) {
      at += length;
      continue;
    }
    out.append(text, runStart, at - runStart);
    out += kReplacementUtf8;
    ++replaced;
    runStart = ++at;
  }
  out.append(text, runStart, std::string_view::npos);
  return replaced;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
  std::string gbk;
  if (Recoder(TextEncoding::Utf8, TextEncoding::Gbk).Convert(utf8, gbk) > 0) return std::nullopt;
  return gbk;
}

std::string Utf8ToGbkOrQuestionMarks(std::string_view utf8) {
  std::string gbk;
  Recoder(TextEncoding::Utf8, TextEncoding::Gbk).Convert(utf8, gbk);
  return gbk;
}
