#include "census/sample_text.h"

#include "marc/record_view.h"

namespace {

constexpr std::string_view kEllipsis = "…";

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// The first characters of value, one more than a sample holds, so that a
// long value costs no more than a short one; whether anything is left over.
std::string_view Beginning(std::string_view value, TextEncoding encoding, bool& more) {
  std::size_t at = 0;
  for (std::size_t characters = 0; at < value.size() && characters <= kSampleLength; ++characters) {
    at += FirstCharacterLength(value.substr(at), encoding);
  }
  more = at < value.size();
  return value.substr(0, at);
}

// UTF-8 that shows on one line. U+0080-U+009F, the C1 controls, are 0xC2
// followed by 0x80-0x9F.
std::string OnOneLine(std::string_view utf8) {
  std::string shown;
  shown.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    const auto c = static_cast<unsigned char>(utf8[at]);
    if (c == 0xC2 && at + 1 < utf8.size() && static_cast<unsigned char>(utf8[at + 1]) < 0xA0) {
      shown += ' ';
      ++at;
    } else if (c == static_cast<unsigned char>(kSubfieldDelimiter)) {
      shown += '$';
    } else if (c != static_cast<unsigned char>(kFieldTerminator)) {
      shown += c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
    }
  }
  return shown;
}

// Cuts text (valid UTF-8) to a sample's length, marking the cut; true when cut.
bool CutToLength(std::string& text, bool more) {
  std::size_t characters = 0;
  std::size_t keep = text.size();  // the end of the last character that stays if it must be cut
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (IsContinuationByte(static_cast<unsigned char>(text[at]))) continue;
    if (characters == kSampleLength - 1) keep = at;
    ++characters;
  }
  if (!more && characters <= kSampleLength) return false;
  text.resize(keep);
  text += kEllipsis;
  return true;
}

}  // namespace

std::string SampleText(std::string_view value, TextEncoding encoding, Recoder& toUtf8) {
  bool more = false;
  std::string utf8;
  toUtf8.Convert(Beginning(value, encoding, more), utf8);
  std::string sample = OnOneLine(utf8);
  CutToLength(sample, more);
  return sample;
}

bool JoinSample(std::string& sample, std::string_view separator, std::string_view next) {
  sample += separator;
  sample += next;
  return CutToLength(sample, false);
}
