#include "marc/field_code.h"

#include <optional>

#include "text/recoder.h"

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000, typed with a Chinese input method

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// Counts UTF-8 code points.
std::size_t CountCharacters(std::string_view utf8) {
  std::size_t count = 0;
  for (unsigned char c : utf8) count += !IsContinuationByte(c);
  return count;
}

// Byte offset of the n-th code point (0-based) of a UTF-8 text.
std::size_t OffsetOfCharacter(std::string_view utf8, std::size_t n) {
  std::size_t at = 0;
  for (std::size_t seen = 0; at < utf8.size(); ++at) {
    if (!IsContinuationByte(static_cast<unsigned char>(utf8[at])) && seen++ == n) break;
  }
  return at;
}

bool IsAsciiBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool HoldsBlank(std::string_view item) {
  return item.find_first_of(" \t\r\n") != std::string_view::npos ||
         item.find(kIdeographicSpace) != std::string_view::npos;
}

bool EndsWithStar(std::string_view text) { return !text.empty() && text.back() == '*'; }

// A tag of three digits, the only kind whole fields and positions take.
bool IsDigitTag(std::string_view tag) {
  return tag.size() == 3 && tag.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsControlTag(std::string_view tag) { return IsDigitTag(tag) && tag >= "001" && tag <= "009"; }

// "9", "9-12": numbers up to kLastPosition, the second not below the first.
// nullopt for anything else.
std::optional<FieldCode::Positions> ReadPositions(std::string_view text) {
  const auto number = [](std::string_view digits) -> std::optional<std::uint32_t> {
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string_view::npos) {
      return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : digits) value = value * 10 + static_cast<std::uint32_t>(c - '0');
    if (value > kLastPosition) return std::nullopt;
    return value;
  };
  const std::size_t dash = text.find('-');
  const std::optional<std::uint32_t> first = number(text.substr(0, dash));
  const std::optional<std::uint32_t> last = dash == std::string_view::npos ? first : number(text.substr(dash + 1));
  if (!first || !last || *last < *first) return std::nullopt;
  return FieldCode::Positions{*first, *last};
}

// "200a" as today: tag and subfield code are converted apart, for 001 and
// 005 the fourth character plays no part, whatever it is. Only a tag of 3
// bytes can ever equal a directory tag.
void ReadTagAndCode(std::string_view base, FieldCode& code) {
  if (base == "000?" || base == "000@") {
    code.kind = base == "000?" ? FieldCode::Kind::RecordType : FieldCode::Kind::FileName;
    return;
  }
  const std::size_t split = OffsetOfCharacter(base, 3);
  const std::optional<std::string> tag = Utf8ToGbk(base.substr(0, split));
  if (!tag || tag->size() != 3) return;
  code.tag = *tag;
  if (code.tag == "001" || code.tag == "005") {
    code.kind = FieldCode::Kind::ControlField;
    return;
  }
  code.subfieldUtf8 = std::string(base.substr(split));
  code.subfieldGbk = Utf8ToGbk(code.subfieldUtf8).value_or(std::string());
  code.kind = FieldCode::Kind::Subfield;
}

// "200", "005": a field whole.
void ReadTag(std::string_view tag, FieldCode& code) {
  if (!IsDigitTag(tag)) return;
  code.tag = std::string(tag);
  code.kind = IsControlTag(tag) ? FieldCode::Kind::ControlField : FieldCode::Kind::WholeField;
}

// The code without positions: "200a", "200a*", "200", "200*".
void ReadBase(std::string_view base, FieldCode& code) {
  const std::size_t characters = CountCharacters(base);
  code.joined = EndsWithStar(base) && (characters == 5 || characters == 4);
  if (code.joined) base.remove_suffix(1);
  if (characters - code.joined == 4) ReadTagAndCode(base, code);
  if (characters - code.joined == 3) ReadTag(base, code);
}

// "100a/9-12", "701a*/0-1", "701a/0-1*", "005/0-7". False when the item has
// no positions.
bool ReadWithPositions(std::string_view item, FieldCode& code) {
  std::string_view rest = item;
  const bool starAfter = EndsWithStar(rest);
  if (starAfter) rest.remove_suffix(1);
  const std::size_t slash = rest.rfind('/');
  if (slash == std::string_view::npos || slash + 1 == rest.size()) return false;
  const std::string_view spec = rest.substr(slash + 1);
  if (spec.find_first_not_of("0123456789-") != std::string_view::npos) return false;
  code.positions = ReadPositions(spec);
  const std::string_view base = rest.substr(0, slash);
  if (!code.positions || (starAfter && EndsWithStar(base))) return true;  // AlwaysEmpty
  ReadBase(base, code);
  code.joined |= starAfter;
  // A data field has no positions as a whole, nor have a record's type, number and file.
  if (code.kind == FieldCode::Kind::WholeField || code.kind == FieldCode::Kind::RecordType ||
      code.kind == FieldCode::Kind::FileName || base == "000#") {
    code.kind = FieldCode::Kind::AlwaysEmpty;
  }
  return true;
}

}  // namespace

std::string_view TrimmedItem(std::string_view item) {
  for (;;) {
    if (!item.empty() && IsAsciiBlank(item.front())) {
      item.remove_prefix(1);
    } else if (!item.empty() && IsAsciiBlank(item.back())) {
      item.remove_suffix(1);
    } else if (item.substr(0, kIdeographicSpace.size()) == kIdeographicSpace) {
      item.remove_prefix(kIdeographicSpace.size());
    } else if (item.size() >= kIdeographicSpace.size() &&
               item.substr(item.size() - kIdeographicSpace.size()) == kIdeographicSpace) {
      item.remove_suffix(kIdeographicSpace.size());
    } else {
      return item;
    }
  }
}

FieldCode ParseFieldCode(std::string_view utf8Item) {
  FieldCode code;
  const std::string_view item = TrimmedItem(utf8Item);
  code.item = std::string(item);
  if (HoldsBlank(item)) return code;
  if (item == "000#") {
    code.kind = FieldCode::Kind::RecordNumber;
    return code;
  }
  const std::size_t characters = CountCharacters(item);
  // Four characters are today's codes ("20/1" too), but for a tag and '*'.
  const bool plain = characters == 3 || characters == 4 || (characters == 5 && EndsWithStar(item));
  if (plain || !ReadWithPositions(item, code)) ReadBase(item, code);
  if (code.kind == FieldCode::Kind::AlwaysEmpty || code.kind == FieldCode::Kind::RecordType ||
      code.kind == FieldCode::Kind::FileName) {
    code.joined = false;  // a record has one type, and one file
    if (code.kind == FieldCode::Kind::AlwaysEmpty) code.positions.reset();
  }
  return code;
}
