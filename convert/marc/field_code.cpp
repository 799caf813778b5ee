#include "marc/field_code.h"

#include <optional>

#include "text/recoder.h"

namespace {

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

}  // namespace

FieldCode ParseFieldCode(std::string_view utf8Item) {
  FieldCode code;
  code.item = std::string(utf8Item);
  std::string_view base = utf8Item;
  if (CountCharacters(base) == 5 && base.back() == '*') {
    base.remove_suffix(1);
    code.joined = true;
  }
  if (CountCharacters(base) != 4) {
    code.joined = false;
    return code;
  }
  if (base == "000?" || base == "000@") {
    code.kind = base == "000?" ? FieldCode::Kind::RecordType : FieldCode::Kind::FileName;
    code.joined = false;  // a record has one type, and one file
    return code;
  }
  // Tag and subfield code are converted apart: for 001 and 005 the fourth
  // character plays no part, whatever it is. Only a tag of 3 bytes can ever
  // equal a directory tag.
  const std::size_t split = OffsetOfCharacter(base, 3);
  const std::optional<std::string> tag = Utf8ToGbk(base.substr(0, split));
  if (!tag || tag->size() != 3) {
    code.joined = false;
    return code;
  }
  code.tag = *tag;
  if (code.tag == "001" || code.tag == "005") {
    code.kind = FieldCode::Kind::ControlField;
    return code;
  }
  code.subfieldUtf8 = std::string(base.substr(split));
  code.subfieldGbk = Utf8ToGbk(code.subfieldUtf8).value_or(std::string());
  code.kind = FieldCode::Kind::Subfield;
  return code;
}
