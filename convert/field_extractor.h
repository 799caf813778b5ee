#pragma once
// The values of a run's columns in one record: the first matching subfield,
// the whole 001 or 005 field, or the record type's name for "000?".
//
// The directory is walked once per record and every field a column asks for
// is cut out once (its Length and Start read, stray terminators removed),
// however many columns read it: 200a, 200f and 200g share one 200 field.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "field_code.h"
#include "record_view.h"

class FieldExtractor {
 public:
  explicit FieldExtractor(std::vector<FieldCode> codes);

  // Reads the fields the columns ask for from a record's view; the view and
  // its record must outlive the values taken from it.
  void Read(const RecordView& view);

  std::size_t Columns() const { return codes_.size(); }
  // The value of a column as GBK bytes with 0x1E deleted (tabs still in it):
  // "" for every kind of absence. False when the record cannot be read or the
  // first matching directory entry that is needed has an unusable Length or
  // Start. (A bool and an out parameter: this runs for every cell.)
  bool Value(std::size_t column, std::string_view& value) const;

 private:
  // One wanted field of the record, linked to the next with the same tag.
  struct WantedField {
    bool ok = false;
    std::string_view data;
    std::int32_t next = -1;
    std::int32_t scratchOffset = -1;  // where its cleaned copy lies in scratch_, if it needed one
    std::int32_t scratchLength = 0;
  };

  int SlotOf(std::string_view tag) const;
  void AddField(int slot, const FieldSlice& slice);
  bool ValueOfTag(const FieldCode& code, int slot, std::string_view& value) const;

  std::vector<FieldCode> codes_;
  std::vector<int> slotOfColumn_;          // -1 for columns that read no field
  std::vector<std::string> tags_;          // distinct wanted tags, by slot
  std::array<std::int16_t, 1000> slotOfNumericTag_;  // "000".."999" -> slot, -1 if not wanted
  const RecordView* view_ = nullptr;
  std::vector<WantedField> fields_;
  // The wanted fields of one tag in the record read last, in directory order.
  struct SlotChain {
    std::uint64_t generation = 0;  // a chain of an earlier record counts as empty
    std::int32_t first = -1;
    std::int32_t last = -1;
  };
  std::vector<SlotChain> chains_;
  std::uint64_t generation_ = 0;
  std::string scratch_;
};

// One record line and one field-list item (UTF-8) to the cell value, GBK bytes
// with 0x1E deleted; nullopt when extraction fails. Convenience for tests and
// tools; a run prepares its codes once instead.
std::optional<std::string> GetFieldValue(std::string_view record, std::string_view code);
