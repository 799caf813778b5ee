#include "xlsx/cell_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Bytes of a UTF-8 sequence from its first byte; a stray continuation byte
// (never in valid text) stands alone, so that no walk can overrun the text.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Bytes that CellText::Append has to look at: the controls, and the first
// byte of U+FFFE and U+FFFF. All others are copied as they are.
constexpr std::array<bool, 256> TextSpecialBytes() {
  std::array<bool, 256> special{};
  for (int c = 0; c < 0x20; ++c) special[c] = true;
  special[0xEF] = true;
  return special;
}
constexpr std::array<bool, 256> kTextSpecial = TextSpecialBytes();

// Bytes that AppendCellXml has to look at.
constexpr std::array<bool, 256> XmlSpecialBytes() {
  std::array<bool, 256> special{};
  special['&'] = special['<'] = special['>'] = special['_'] = true;
  return special;
}
constexpr std::array<bool, 256> kXmlSpecial = XmlSpecialBytes();

// Most text has none of those bytes: it is looked at eight bytes at a time,
// and byte by byte only where a word holds one.
constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x80 * kOnes;

bool HasByte(std::uint64_t word, unsigned char byte) {
  const std::uint64_t same = word ^ (byte * kOnes);  // a zero byte where the byte is
  return ((same - kOnes) & ~same & kHighBits) != 0;
}

bool HasControl(std::uint64_t word) { return ((word - 0x20 * kOnes) & ~word & kHighBits) != 0; }

std::uint64_t WordAt(const char* at) {
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// The first byte from `at` on that CellText::Append must look at, or `end`.
const char* FindTextSpecial(const char* at, const char* end) {
  while (end - at >= 8 && !HasControl(WordAt(at)) && !HasByte(WordAt(at), 0xEF)) at += 8;
  while (at != end && !kTextSpecial[static_cast<unsigned char>(*at)]) ++at;
  return at;
}

// The first byte from `at` on that AppendCellXml must look at, or `end`.
const char* FindXmlSpecial(const char* at, const char* end) {
  for (; end - at >= 8; at += 8) {
    const std::uint64_t word = WordAt(at);
    if (HasByte(word, '&') || HasByte(word, '<') || HasByte(word, '>') || HasByte(word, '_')) break;
  }
  while (at != end && !kXmlSpecial[static_cast<unsigned char>(*at)]) ++at;
  return at;
}

bool IsNonCharacter(const char* at, const char* end) {
  return end - at >= 3 && static_cast<unsigned char>(at[1]) == 0xBF &&
         (static_cast<unsigned char>(at[2]) == 0xBE || static_cast<unsigned char>(at[2]) == 0xBF);
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Whether a reader would decode the underscore here as the start of an
// escape. Excel decodes "_x" with four hex digits of either case and "_",
// whatever character they name. LibreOffice Calc (7.4) decodes one to four
// digits, but only when they name a control character or the underscore
// itself ("_x4_", "_x5F_"); it reads "_x41_" and "_x00e9_" as they are.
// Neither decodes a capital X. Any other underscore is written as it is, since
// Gnumeric and openpyxl would show its escape as text.
bool StartsDecodedEscape(const char* at, const char* end) {
  if (end - at < 4 || at[1] != 'x') return false;
  unsigned value = 0;
  int digits = 0;
  const char* next = at + 2;
  for (; next != end && digits < 4 && HexDigitValue(*next) >= 0; ++next, ++digits) {
    value = value * 16 + static_cast<unsigned>(HexDigitValue(*next));
  }
  if (digits == 0 || next == end || *next != '_') return false;
  return digits == 4 || value < 0x20 || value == '_';
}

void AppendXmlSpecial(std::string& out, const char* at, const char* end) {
  switch (*at) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    default: out += StartsDecodedEscape(at, end) ? "_x005F_" : "_"; break;
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::string_view CutToUtf16Units(std::string_view utf8, std::size_t limit) {
  // A UTF-16 unit takes at least one byte, so a short text needs no walk.
  if (utf8.size() <= limit) return utf8;
  std::size_t units = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t length = SequenceLength(static_cast<unsigned char>(utf8[at]));
    const std::size_t unitsOfCharacter = length == 4 ? 2 : 1;
    if (units + unitsOfCharacter > limit) return utf8.substr(0, at);
    units += unitsOfCharacter;
    at += length;
  }
  return utf8;
}

void CellText::Append(std::string_view utf8) {
  const char* at = utf8.data();
  const char* const end = at + utf8.size();
  while (at != end) {
    const char* const run = at;
    at = FindTextSpecial(at, end);
    if (at != run) {
      text_.append(run, static_cast<std::size_t>(at - run));
      afterCarriageReturn_ = false;
    }
    if (at != end) at = AppendSpecial(at, end);
  }
}

// Handles the special byte at `at` and returns the position after what it used.
const char* CellText::AppendSpecial(const char* at, const char* end) {
  const bool afterCarriageReturn = std::exchange(afterCarriageReturn_, false);
  switch (*at) {
    case '\r':
      afterCarriageReturn_ = true;
      text_ += '\n';
      lineBreak_ = true;
      break;
    case '\n':
      if (!afterCarriageReturn) text_ += '\n';
      lineBreak_ = true;
      break;
    case '\xEF':
      if (IsNonCharacter(at, end)) {
        ++leftOut_;
        return at + 3;
      }
      text_ += *at;
      break;
    default:  // another control character
      ++leftOut_;
      break;
  }
  return at + 1;
}

void CellText::Clear() {
  text_.clear();
  afterCarriageReturn_ = false;
  lineBreak_ = false;
  leftOut_ = 0;
}

void AppendCellXml(std::string& out, std::string_view utf8) {
  const char* at = utf8.data();
  const char* const end = at + utf8.size();
  while (at != end) {
    const char* const run = at;
    at = FindXmlSpecial(at, end);
    out.append(run, static_cast<std::size_t>(at - run));
    if (at != end) AppendXmlSpecial(out, at++, end);
  }
}

bool HasBlankEnds(std::string_view utf8) { return !utf8.empty() && (IsBlank(utf8.front()) || IsBlank(utf8.back())); }
