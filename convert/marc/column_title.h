#pragma once
// The header row's titles: the codes of the list as typed (the default),
// the names a reader understands, or both.
#include <optional>
#include <string>
#include <string_view>

#include "marc/field_code.h"
#include "text/language.h"

enum class HeaderStyle { Codes, Names, CodesAndNames };

// The words that name a style on marc2tab's command line and in the stored
// settings: "codes", "names", "both".
std::string_view HeaderStyleWord(HeaderStyle style);
std::optional<HeaderStyle> HeaderStyleNamed(std::string_view word);

// The title of a column (UTF-8) in the style and language asked for. A
// name is the field-name table's; a code without a name shows its code.
std::string ColumnTitle(const FieldCode& code, HeaderStyle style, Language language);
