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

// The name of what the column holds, or "" when the table has none.
std::string NameOf(const FieldCode& code, Language language) {
  if (code.kind == FieldCode::Kind::Subfield) {
    return std::string(SubfieldName(code.item.substr(0, 3), code.subfieldUtf8, language));
  }
  if (code.kind == FieldCode::Kind::ControlField) return std::string(FieldName(code.item.substr(0, 3), language));
  if (code.kind == FieldCode::Kind::FileName) return language == Language::Chinese ? "文件名" : "File name";
  return {};
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
  const std::string name = NameOf(code, language);
  if (name.empty()) return code.item;
  if (style == HeaderStyle::Names) return name;
  return code.item + " " + name;
}
