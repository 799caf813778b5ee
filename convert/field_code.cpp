#include "field_code.h"

#include <optional>

#include "gbk_codec.h"

namespace {

// Counts UTF-8 code points (continuation bytes are not counted).
std::size_t CountCharacters(std::string_view utf8) {
  std::size_t count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
  return count;
}

// Byte length of the first character of a GBK text.
std::size_t FirstGbkCharacterLength(std::string_view gbk) {
  const auto lead = static_cast<unsigned char>(gbk[0]);
  return (lead >= 0x81 && lead <= 0xFE && gbk.size() >= 2) ? 2 : 1;
}

}  // namespace

FieldCode ParseFieldCode(std::string_view utf8Item) {
  FieldCode code;
  code.header = Utf8ToGbkOrQuestionMarks(utf8Item);
  if (CountCharacters(utf8Item) != 4) return code;
  if (utf8Item == "000?") {
    code.kind = FieldCode::Kind::RecordType;
    return code;
  }
  const std::optional<std::string> gbk = Utf8ToGbk(utf8Item);
  if (!gbk) return code;
  // Tag: the GBK bytes of the first three characters; only an ASCII-width tag
  // can ever equal a directory tag of 3 bytes.
  std::string_view rest = *gbk;
  std::string tag;
  for (int i = 0; i < 3; ++i) {
    const std::size_t n = FirstGbkCharacterLength(rest);
    tag.append(rest.substr(0, n));
    rest.remove_prefix(n);
  }
  if (tag.size() != 3 || rest.empty()) return code;
  code.tag = tag;
  code.subfieldCode = std::string(rest);
  code.kind = (tag == "001" || tag == "005") ? FieldCode::Kind::ControlField : FieldCode::Kind::Subfield;
  return code;
}
