#pragma once
// One item of the field list, prepared once per run for matching against the
// GBK bytes of records.
#include <string>
#include <string_view>

struct FieldCode {
  enum class Kind {
    AlwaysEmpty,   // not 4 characters, or not expressible in GBK: a column of empty cells
    RecordType,    // "000?": the name of the record's type
    ControlField,  // tags 001 and 005: the whole field
    Subfield,      // tag plus subfield code
  };
  Kind kind = Kind::AlwaysEmpty;
  std::string header;       // the item as GBK bytes, for the header line
  std::string tag;          // 3 GBK bytes
  std::string subfieldCode; // 1 or 2 GBK bytes (one character)
};

// Prepares one field-list item (UTF-8). A code is 4 Unicode characters: a
// 3-character tag and a 1-character subfield code; case matters.
FieldCode ParseFieldCode(std::string_view utf8Item);
