#pragma once
// One item of the field list, prepared once per run for matching against the
// bytes of records. The one parser of the list's grammar:
//   200a      the first $a of the first 200 field that has one
//   701a*     every $a of every 701 field, joined
//   200       the whole first 200 field: indicators, then "$a...$b..."
//   001       a control field (001-009) as it stands; 001a and 0019 too
//   606*      every 606 field, whole, joined
//   100a/9-12 characters 9 to 12 of the value, counted from 0; 100a/9 one
//   005/0-7   the same of a control field; 701a*/0-1 of each occurrence
//   000?      the name of the record's type
//   000#      the record's number in its file
//   000@      the name of its file, without the folder
// Blanks, tabs and line breaks around an item are dropped.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct FieldCode {
  enum class Kind {
    AlwaysEmpty,   // not a code: a column of empty cells
    RecordType,    // "000?": the name of the record's type
    ControlField,  // "001a", "005a", and a control field's tag alone ("003"): the whole field
    Subfield,      // tag plus subfield code
    WholeField,    // a data field's tag alone ("200"): indicators, then "$a...$b..."
    RecordNumber,  // "000#": the record's number in its file
    FileName,      // "000@": the name of the record's file, without its folder
  };
  // Characters first to last (counted from 0, both included) of the value:
  // "100a/9-12", "100a/9" (first == last).
  struct Positions {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
  };
  Kind kind = Kind::AlwaysEmpty;
  // "701a*": every occurrence of the subfield (every field with the tag, in
  // directory order, every such subfield within each), joined.
  bool joined = false;
  std::optional<Positions> positions;
  std::string item;          // the item, trimmed (UTF-8): the column's header in codes
  std::string tag;           // 3 bytes
  std::string subfieldGbk;   // the subfield code in GBK records ("" if GBK lacks it)
  std::string subfieldUtf8;  // the subfield code in UTF-8 records
};

// The highest character position an item may ask for.
inline constexpr std::uint32_t kLastPosition = 9999;

// The item without the blanks (ASCII and ideographic), tabs and line breaks
// around it.
std::string_view TrimmedItem(std::string_view utf8Item);

// Prepares one field-list item (UTF-8), trimmed first. A code is 4 Unicode
// characters: a 3-character tag and a 1-character subfield code; case
// matters. Whole fields and positions take tags of three digits. Anything
// else, or an item with a blank, tab or line break inside, is AlwaysEmpty.
FieldCode ParseFieldCode(std::string_view utf8Item);
