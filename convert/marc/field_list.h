#pragma once
// The field list of the field-list box: comma-separated codes choosing and
// ordering the output columns.
#include <string>
#include <string_view>
#include <vector>

// The built-in list shown when nothing is stored.
extern const char* const DefaultFieldList;

// Splits the box's text (UTF-8) into column codes: a full-width comma counts
// as ',', CR LF pairs are deleted (a code broken over two lines joins up),
// blanks, tabs and line breaks around each item are dropped, empty items
// stay, case matters. An empty text gives no columns at all.
std::vector<std::string> ParseFieldList(std::string_view text);

// The items no record can ever give a value for, each once, in list order:
// not of any form of the list's grammar (see marc/field_code.h), or holding
// a blank, a tab or a line break. They stay columns, of empty cells.
std::vector<std::string> ItemsThatCannotMatch(const std::vector<std::string>& items);

// The code an item was likely meant to be, for a hint beside an item that
// found no value: the item with its letters in the other case ("200A" for
// "200a"), or without the blanks inside it ("200 a"). Empty when there is
// no such other spelling.
std::vector<std::string> NearMissesOf(std::string_view item);
