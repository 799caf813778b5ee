#include "recoder.h"

namespace {
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

bool IsGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceAt(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}
}  // namespace

Recoder::Recoder(TextEncoding from, TextEncoding to) : from_(from), to_(to) {
  if (from != to) codec_.emplace(from, to);
}

std::size_t Recoder::Convert(std::string_view text, std::string& out) {
  if ((from_ == TextEncoding::Gbk && to_ == TextEncoding::Gbk) || IsAscii(text)) {
    out += text;
    return 0;
  }
  if (codec_ ? codec_->Convert(text, out) : IsValidUtf8(text)) {
    if (!codec_) out += text;
    return 0;
  }
  return ByCharacter(text, out);
}

// The bytes of one character of the source text: a valid UTF-8 sequence, a
// GBK lead byte with its trail byte, or one byte that is neither.
std::size_t Recoder::CharacterLength(std::string_view text, std::size_t at, bool& valid) const {
  const auto lead = static_cast<unsigned char>(text[at]);
  valid = true;
  if (lead < 0x80) return 1;
  if (from_ == TextEncoding::Utf8) {
    const std::size_t length = Utf8SequenceAt(text, at);
    valid = length > 0;
    return valid ? length : 1;
  }
  if (lead >= 0x81 && lead <= 0xFE && at + 1 < text.size() && IsGbkTrail(static_cast<unsigned char>(text[at + 1]))) {
    return 2;
  }
  valid = lead == 0x80;  // the euro sign of code page 936
  return 1;
}

std::size_t Recoder::ByCharacter(std::string_view text, std::string& out) {
  std::size_t replaced = 0;
  for (std::size_t at = 0; at < text.size();) {
    bool valid = false;
    const std::size_t length = CharacterLength(text, at, valid);
    const std::string_view character = text.substr(at, length);
    at += length;
    // ASCII, and valid UTF-8 that stays UTF-8, need no converting.
    if (valid && (static_cast<unsigned char>(character[0]) < 0x80 || !codec_)) {
      out += character;
      continue;
    }
    if (valid && codec_->Convert(character, out)) continue;
    ++replaced;
    if (to_ == TextEncoding::Utf8) {
      out += kReplacementUtf8;
    } else {
      out += length == 4 ? "??" : "?";
    }
  }
  return replaced;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string gbk;
  if (!GbkCodec(TextEncoding::Utf8, TextEncoding::Gbk).Convert(utf8, gbk)) return std::nullopt;
  return gbk;
}

std::string Utf8ToGbkOrQuestionMarks(std::string_view utf8) {
  std::string gbk;
  Recoder(TextEncoding::Utf8, TextEncoding::Gbk).Convert(utf8, gbk);
  return gbk;
}
