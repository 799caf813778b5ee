#include "cell_text.h"

#include <algorithm>
#include <array>

namespace {

// Bytes of a UTF-8 sequence from its first byte; a stray continuation byte
// (never in valid text) stands alone, so that no walk can overrun the text.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Bytes that AppendCellXml has to look at; all others are copied as they are.
constexpr std::array<bool, 256> SpecialBytes() {
  std::array<bool, 256> special{};
  for (int c = 0; c < 0x20; ++c) special[c] = c != '\t' && c != '\n';
  special['&'] = special['<'] = special['>'] = true;
  special['_'] = true;
  special[0xEF] = true;  // the first byte of U+FFFE and U+FFFF
  return special;
}
constexpr std::array<bool, 256> kSpecial = SpecialBytes();

// Whether the underscore here could start an _xHHHH_ that a spreadsheet
// decodes. Some readers decode shorter forms too (LibreOffice reads "_x4_"
// as U+0004), so every underscore before an x is escaped: escaping one that
// would not have been decoded does no harm.
bool CouldStartEscapeForm(const char* at, const char* end) { return end - at >= 2 && (at[1] == 'x' || at[1] == 'X'); }

void AppendEscapeForm(std::string& out, unsigned value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "_x";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
  out += '_';
}

// Writes the special byte at `at` and returns the position after what it used.
const char* AppendSpecial(std::string& out, const char* at, const char* end) {
  const auto byte = static_cast<unsigned char>(*at);
  switch (byte) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '_':
      if (CouldStartEscapeForm(at, end)) {
        AppendEscapeForm(out, '_');
      } else {
        out += '_';
      }
      break;
    case 0xEF:
      if (end - at >= 3 && static_cast<unsigned char>(at[1]) == 0xBF &&
          (static_cast<unsigned char>(at[2]) == 0xBE || static_cast<unsigned char>(at[2]) == 0xBF)) {
        AppendEscapeForm(out, 0xFFC0u | (static_cast<unsigned char>(at[2]) & 0x3Fu));
        return at + 3;
      }
      out += *at;
      break;
    default:  // a control byte, CR among them
      AppendEscapeForm(out, byte);
      break;
  }
  return at + 1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Wide in East Asian fonts: the CJK blocks from U+2E80 on, Hangul, the
// compatibility and full-width forms, and the ideographs beyond the BMP.
bool IsWide(std::string_view sequence) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() == 4) return true;
  if (sequence.size() != 3) return false;
  const unsigned codePoint = ((lead & 0x0Fu) << 12) | ((static_cast<unsigned char>(sequence[1]) & 0x3Fu) << 6);
  return codePoint >= 0x2E80 && codePoint < 0xFF70 && !(codePoint >= 0xD7B0 && codePoint < 0xF900);
}

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

void AppendCellXml(std::string& out, std::string_view utf8) {
  const char* at = utf8.data();
  const char* const end = at + utf8.size();
  while (at != end) {
    const char* const run = at;
    while (at != end && !kSpecial[static_cast<unsigned char>(*at)]) ++at;
    out.append(run, static_cast<std::size_t>(at - run));
    if (at != end) at = AppendSpecial(out, at, end);
  }
}

bool HasBlankEnds(std::string_view utf8) { return !utf8.empty() && (IsBlank(utf8.front()) || IsBlank(utf8.back())); }

std::size_t DisplayWidth(std::string_view utf8, std::size_t most) {
  std::size_t width = 0;
  for (std::size_t at = 0; at < utf8.size() && utf8[at] != '\n' && width < most;) {
    const std::size_t length = std::min(SequenceLength(static_cast<unsigned char>(utf8[at])), utf8.size() - at);
    width += IsWide(utf8.substr(at, length)) ? 2 : 1;
    at += length;
  }
  return std::min(width, most);
}
