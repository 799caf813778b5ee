#pragma once
// The names of the UNIMARC/CNMARC fields and subfields that Chinese libraries
// use most, for showing beside the codes: in Chinese, and in English as the
// UNIMARC manual gives them.
#include <string_view>

#include "text/language.h"

// The name of a field ("200": "题名与责任说明", "Title and statement of
// responsibility"), or "" when the table has none.
std::string_view FieldName(std::string_view tag, Language language = Language::Chinese);

// The name of a subfield of a field ("200", "a": "正题名", "Title proper"), or
// "" when the table has none. Tag and code are UTF-8, compared exactly.
std::string_view SubfieldName(std::string_view tag, std::string_view code, Language language = Language::Chinese);

// The words of names that are no field's: of the record's type, number and
// file, and what an item adds to a name: every occurrence, positions
// ("（第9-12位）", " (positions 9-12)").
struct ItemWords {
  std::string_view recordType;
  std::string_view recordNumber;
  std::string_view fileName;
  std::string_view all;
  std::string_view positionBefore;   // one position
  std::string_view positionsBefore;  // a range
  std::string_view positionsAfter;
};
const ItemWords& ItemWordsIn(Language language);
