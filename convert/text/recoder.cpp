#include "text/recoder.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// Room at the end of out for up to perByte bytes for each byte of a text of
// textSize bytes; returns where it begins. The caller cuts out back to what
// it wrote.
char* MakeRoom(std::string& out, std::size_t textSize, std::size_t perByte) {
  const std::size_t before = out.size();
  if (textSize > (out.max_size() - before) / perByte) throw std::length_error("text too long to recode");
  out.resize(before + textSize * perByte);
  return out.data() + before;
}

void CutBackTo(std::string& out, const char* end) { out.resize(static_cast<std::size_t>(end - out.data())); }

}  // namespace

Recoder::Recoder(TextEncoding from, TextEncoding to) : from_(from), to_(to) {
  if (to == TextEncoding::Gbk) gbkCodes_ = &cp936::Encoding();
  if (from == TextEncoding::Gbk && to == TextEncoding::Utf8) utf8Codes_ = &cp936::Utf8Decoding();
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
// each become one U+FFFD: three bytes of UTF-8 at most for each byte of GBK.
std::size_t Recoder::FromGbk(std::string_view text, std::string& out) const {
  std::size_t replaced = 0;
  char* next = MakeRoom(out, text.size(), 3);
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      *next++ = text[at++];
      continue;
    }
    const cp936::Code code = cp936::CodeAt(text, at);
    at += code.length;
    const std::uint32_t utf8 = (*utf8Codes_)[code.index];
    if (utf8 != 0) {
      // Three bytes written, however many belong: a code of one byte has room for three.
      next[0] = static_cast<char>(utf8 & 0xFF);
      next[1] = static_cast<char>(utf8 >> 8 & 0xFF);
      next[2] = static_cast<char>(utf8 >> 16 & 0xFF);
      next += utf8 >> 24;
    } else {
      next = std::copy(kReplacementUtf8.begin(), kReplacementUtf8.end(), next);
      ++replaced;
    }
  }
  CutBackTo(out, next);
  return replaced;
}

// A byte that begins no valid UTF-8 sequence becomes one '?'; a character
// GBK lacks becomes '?', or "??" beyond the BMP as Windows writes a
// surrogate pair. None of them, nor a GBK code, is longer than its UTF-8.
std::size_t Recoder::ToGbk(std::string_view text, std::string& out) {
  std::size_t replaced = 0;
  char* next = MakeRoom(out, text.size(), 1);
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      *next++ = text[at++];
      continue;
    }
    const std::size_t length = Utf8SequenceAt(text, at);
    const std::uint16_t code = length == 2 || length == 3 ? (*gbkCodes_)[Utf8CodePoint(text.substr(at, length))] : 0;
    at += length > 0 ? length : 1;
    if (code == 0) {
      *next++ = '?';
      if (length == 4) *next++ = '?', ++beyondBmp_;
      ++replaced;
    } else {
      if (code > 0xFF) *next++ = static_cast<char>(code >> 8);  // the lead byte of a two-byte code
      *next++ = static_cast<char>(code & 0xFF);
    }
  }
  CutBackTo(out, next);
  return replaced;
}

// Valid UTF-8 is copied as it is, in runs; a byte that begins no valid
// sequence becomes one U+FFFD.
std::size_t Recoder::CheckUtf8(std::string_view text, std::string& out) {
  std::size_t replaced = 0;
  std::size_t runStart = 0;
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
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
