#pragma once
// One record and one field-list item (UTF-8) to the cell value, as a run
// writes it into GBK output (0x1E deleted, joined codes with "; "); nullopt
// when extraction fails. The tests' and the fuzzer's reference: a run
// prepares its codes once instead.
#include <optional>
#include <string>
#include <string_view>

#include "marc/field_code.h"
#include "marc/field_extractor.h"
#include "marc/record_type.h"
#include "marc/record_view.h"

// The value of a column of an extractor that has read a record.
inline std::optional<std::string> ValueOf(const FieldExtractor& extractor, std::size_t column) {
  std::string_view value;
  if (!extractor.IsJoined(column)) {
    return extractor.Value(column, value) ? std::optional<std::string>(value) : std::nullopt;
  }
  std::string joined;
  for (std::string_view occurrence : extractor.Occurrences(column)) {
    joined += (joined.empty() ? "" : "; ") + std::string(occurrence);
  }
  return joined;
}

inline std::optional<std::string> GetFieldValue(std::string_view record, std::string_view code) {
  static const RecordTypeNames names(TextEncoding::Gbk);
  RecordView view;
  view.Build(record);
  FieldExtractor extractor({ParseFieldCode(code)}, names);
  extractor.Read(view);
  return ValueOf(extractor, 0);
}
