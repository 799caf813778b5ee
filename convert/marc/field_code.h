#pragma once
// One item of the field list, prepared once per run for matching against the
// bytes of records.
#include <string>
#include <string_view>

struct FieldCode {
  enum class Kind {
    AlwaysEmpty,   // not a code: a column of empty cells
    RecordType,    // "000?": the name of the record's type
    ControlField,  // tags 001 and 005: the whole field
    Subfield,      // tag plus subfield code
  };
  Kind kind = Kind::AlwaysEmpty;
  // "701a*": every occurrence of the subfield (every field with the tag, in
  // directory order, every such subfield within each), joined.
  bool joined = false;
  std::string item;          // the item as typed (UTF-8): the column's header
  std::string tag;           // 3 bytes
  std::string subfieldGbk;   // the subfield code in GBK records ("" if GBK lacks it)
  std::string subfieldUtf8;  // the subfield code in UTF-8 records
};

// Prepares one field-list item (UTF-8). A code is 4 Unicode characters: a
// 3-character tag and a 1-character subfield code; case matters. A fifth
// character '*' asks for every occurrence.
FieldCode ParseFieldCode(std::string_view utf8Item);
