#pragma once
// One item of the field list, prepared once per run for matching against the
// bytes of records.
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

// Prepares one field-list item (UTF-8). A code is 4 Unicode characters: a
// 3-character tag and a 1-character subfield code; case matters. A fifth
// character '*' asks for every occurrence.
FieldCode ParseFieldCode(std::string_view utf8Item);
