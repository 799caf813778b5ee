#pragma once
// The value of one field code in one record: the first matching subfield, the
// whole 001 or 005 field, or the record type's name for "000?".
#include <optional>
#include <string>
#include <string_view>

#include "field_code.h"
#include "record_view.h"

class FieldExtractor {
 public:
  // The cell value as GBK bytes with 0x1E deleted (tabs still in it); "" for
  // every kind of absence; nullopt when the record cannot be read or the
  // matching directory entry holds an unusable Length or Start. The returned
  // view lives until the next call or until the record goes away.
  std::optional<std::string_view> Extract(const RecordView& view, const FieldCode& code);

 private:
  std::string_view WithoutFieldTerminators(std::string_view bytes);
  std::string scratch_;
};

// One record line and one field-list item (UTF-8) to the cell value, GBK bytes
// with 0x1E deleted; nullopt when extraction fails. Convenience for tests and
// tools; a run prepares codes and views once instead.
std::optional<std::string> GetFieldValue(std::string_view record, std::string_view code);
