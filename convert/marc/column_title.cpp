#include "marc/column_title.h"

#include <array>
#include <utility>

#include "marc/field_names.h"

namespace {

constexpr std::array<std::pair<HeaderStyle, std::string_view>, 3> kWords = {{
    {HeaderStyle::Codes, "codes"},
    {HeaderStyle::Names, "names"},
    {HeaderStyle::CodesAndNames, "both"},
}};

// The name of what the column holds, without what the item adds to it, or
// "" when the table has none.
std::string_view BaseNameOf(const FieldCode& code, Language language) {
  const ItemWords& words = ItemWordsIn(language);
  switch (code.kind) {
    case FieldCode::Kind::Subfield: return SubfieldName(code.tag, code.subfieldUtf8, language);
    case FieldCode::Kind::ControlField:
    case FieldCode::Kind::WholeField: return FieldName(code.tag, language);
    case FieldCode::Kind::RecordType: return words.recordType;
    case FieldCode::Kind::RecordNumber: return words.recordNumber;
    case FieldCode::Kind::FileName: return words.fileName;
    case FieldCode::Kind::AlwaysEmpty: break;
  }
  return {};
}

// The positions in words: " (positions 9-12)", " (position 9)".
std::string PositionsWords(const FieldCode::Positions& positions, Language language) {
  const ItemWords& words = ItemWordsIn(language);
  const bool range = positions.last != positions.first;
  std::string text(range ? words.positionsBefore : words.positionBefore);
  text += std::to_string(positions.first);
  if (range) text += "-" + std::to_string(positions.last);
  text += words.positionsAfter;
  return text;
}

// The name of what the column holds, or "" when the table has none: the
// table's name, then the words for every occurrence and the positions.
std::string NameOf(const FieldCode& code, Language language) {
  std::string name(BaseNameOf(code, language));
  if (name.empty()) return name;
  if (code.joined) name += ItemWordsIn(language).all;
  if (code.positions) name += PositionsWords(*code.positions, language);
  return name;
}

}  // namespace

std::string_view HeaderStyleWord(HeaderStyle style) {
  for (const auto& [each, word] : kWords) {
    if (each == style) return word;
  }
  return kWords[0].second;
}

std::optional<HeaderStyle> HeaderStyleNamed(std::string_view word) {
  for (const auto& [style, each] : kWords) {
    if (each == word) return style;
  }
  return std::nullopt;
}

std::string ColumnTitle(const FieldCode& code, HeaderStyle style, Language language) {
  if (style == HeaderStyle::Codes) return code.item;
  std::string name = NameOf(code, language);
  if (name.empty()) return code.item;
  if (style == HeaderStyle::Names) return name;
  return code.item + " " + name;
}
