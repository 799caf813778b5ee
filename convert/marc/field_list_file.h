#pragma once
// A field list kept in a file, so that colleagues can share one: UTF-8 text
// holding the list as the field-list box does.
#include <cstddef>
#include <string>
#include <string_view>

// The most items a list may have: a workbook's columns.
inline constexpr std::size_t kMostListItems = 16384;

struct FieldListFileText {
  enum class Problem { None, NotUtf8, TooManyItems };
  Problem problem = Problem::None;
  std::string list;  // the box's text, when there is no problem
};

// The list held by a file's bytes: a UTF-8 byte-order mark is dropped, and
// a file of one item per line reads as one list: a line break (CR LF, CR or
// LF) counts as a comma where no comma is beside it, and blank lines are
// skipped. A NUL is no UTF-8 text.
FieldListFileText FieldListFromFile(std::string_view bytes);

// The bytes of a file holding the list: UTF-8 with a byte-order mark, so
// that Notepad reads it right, the list on one line (its CR LF pairs
// deleted, as the box deletes them), and a line break at the end.
std::string FieldListFileBytes(std::string_view list);
