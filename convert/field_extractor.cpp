#include "field_extractor.h"

#include <algorithm>
#include <cstring>

#include "record_type.h"

namespace {

// The first c in [from, end), or end.
const char* Find(const char* from, const char* end, char c) {
  if (from == end) return end;
  const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
  return found != nullptr ? static_cast<const char*>(found) : end;
}

// Whether the first subfield follows two indicators, as it nearly always
// does; that saves a search per column.
bool AfterIndicators(std::string_view data) {
  return data.size() > 2 && data[2] == kSubfieldDelimiter && data[0] != kSubfieldDelimiter &&
         data[1] != kSubfieldDelimiter;
}

// Byte length of the first GBK character of a subfield piece.
std::size_t FirstCharacterLength(std::string_view piece) {
  const auto lead = static_cast<unsigned char>(piece[0]);
  return (lead >= 0x81 && lead <= 0xFE && piece.size() >= 2) ? 2 : 1;
}

// The value of the first subfield whose code matches; false when none does.
// Piece 0 (the indicators) is never a subfield.
bool FindSubfield(std::string_view data, std::string_view subfieldCode, std::string_view& value) {
  const char* const end = data.data() + data.size();
  const char* at = AfterIndicators(data) ? data.data() + 2 : Find(data.data(), end, kSubfieldDelimiter);
  while (at != end) {
    const char* const begin = at + 1;
    const char* const next = Find(begin, end, kSubfieldDelimiter);
    const std::string_view piece(begin, static_cast<std::size_t>(next - begin));
    if (!piece.empty()) {
      const std::size_t codeLength = FirstCharacterLength(piece);
      if (codeLength == subfieldCode.size() && piece[0] == subfieldCode[0] &&
          (codeLength == 1 || piece[1] == subfieldCode[1])) {
        value = piece.substr(codeLength);
        return true;
      }
    }
    at = next;
  }
  return false;
}

// "000".."999" as a number, or -1 for a tag with other bytes. Tags are
// 3 bytes by construction; this runs for every directory entry.
int NumericTag(std::string_view tag) {
  const unsigned d0 = static_cast<unsigned char>(tag[0]) - unsigned{'0'};
  const unsigned d1 = static_cast<unsigned char>(tag[1]) - unsigned{'0'};
  const unsigned d2 = static_cast<unsigned char>(tag[2]) - unsigned{'0'};
  if (d0 > 9 || d1 > 9 || d2 > 9) return -1;
  return static_cast<int>(d0 * 100 + d1 * 10 + d2);
}

bool ReadsAField(const FieldCode& code) {
  return code.kind == FieldCode::Kind::Subfield || code.kind == FieldCode::Kind::ControlField;
}

}  // namespace

FieldExtractor::FieldExtractor(std::vector<FieldCode> codes) : codes_(std::move(codes)) {
  slotOfNumericTag_.fill(-1);
  for (const FieldCode& code : codes_) {
    if (!ReadsAField(code)) {
      slotOfColumn_.push_back(-1);
      continue;
    }
    auto known = std::find(tags_.begin(), tags_.end(), code.tag);
    if (known == tags_.end()) known = tags_.insert(tags_.end(), code.tag);
    const int slot = static_cast<int>(known - tags_.begin());
    slotOfColumn_.push_back(slot);
    const int number = NumericTag(code.tag);
    if (number >= 0) slotOfNumericTag_[static_cast<std::size_t>(number)] = static_cast<std::int16_t>(slot);
  }
  chains_.resize(tags_.size());
}

int FieldExtractor::SlotOf(std::string_view tag) const {
  const int number = NumericTag(tag);
  if (number >= 0) return slotOfNumericTag_[static_cast<std::size_t>(number)];
  const auto known = std::find(tags_.begin(), tags_.end(), tag);
  return known == tags_.end() ? -1 : static_cast<int>(known - tags_.begin());
}

void FieldExtractor::Read(const RecordView& view) {
  view_ = &view;
  fields_.clear();
  scratch_.clear();
  ++generation_;  // marks every slot's chain of the last record as gone
  if (view.Status() != ViewStatus::Ok || tags_.empty()) return;
  for (std::size_t i = 0; i < view.EntryCount(); ++i) {
    const DirectoryEntry entry = view.Entry(i);
    const int slot = SlotOf(entry.Tag);
    if (slot >= 0) AddField(slot, view.FieldData(entry));  // only asked-for entries are read
  }
  // The cleaned copies are all in place now, so their views can be taken.
  for (WantedField& field : fields_) {
    if (field.scratchOffset >= 0) {
      field.data = std::string_view(scratch_).substr(static_cast<std::size_t>(field.scratchOffset),
                                                     static_cast<std::size_t>(field.scratchLength));
    }
  }
}

// A well-formed field ends in its one terminator; only unusual data, with
// 0x1E inside it, needs a cleaned copy.
void FieldExtractor::AddField(int slot, const FieldSlice& slice) {
  WantedField field;
  field.ok = slice.ok;
  std::string_view bytes = slice.bytes;
  while (!bytes.empty() && bytes.back() == kFieldTerminator) bytes.remove_suffix(1);
  field.data = bytes;
  if (!bytes.empty() && std::memchr(bytes.data(), kFieldTerminator, bytes.size()) != nullptr) {
    field.scratchOffset = static_cast<std::int32_t>(scratch_.size());
    for (char c : bytes) {
      if (c != kFieldTerminator) scratch_.push_back(c);
    }
    field.scratchLength = static_cast<std::int32_t>(scratch_.size()) - field.scratchOffset;
  }
  const auto index = static_cast<std::int32_t>(fields_.size());
  fields_.push_back(field);
  SlotChain& chain = chains_[static_cast<std::size_t>(slot)];
  if (chain.generation != generation_) {
    chain = {generation_, index, index};
  } else {
    fields_[static_cast<std::size_t>(chain.last)].next = index;
    chain.last = index;
  }
}

bool FieldExtractor::Value(std::size_t column, std::string_view& value) const {
  const FieldCode& code = codes_[column];
  value = {};
  if (code.kind == FieldCode::Kind::AlwaysEmpty || view_->Record().empty()) return true;
  if (view_->Status() == ViewStatus::Failed) return false;
  if (view_->Status() == ViewStatus::Refused) return true;
  if (code.kind == FieldCode::Kind::RecordType) {
    value = RecordTypeNameGbk(view_->TypeOfRecord());
    return true;
  }
  return ValueOfTag(code, slotOfColumn_[column], value);
}

// Repeated fields are never joined: the first field with the tag, in
// directory order, that holds the subfield gives the value.
bool FieldExtractor::ValueOfTag(const FieldCode& code, int slot, std::string_view& value) const {
  const SlotChain& chain = chains_[static_cast<std::size_t>(slot)];
  for (std::int32_t i = chain.generation == generation_ ? chain.first : -1; i >= 0;) {
    const WantedField& field = fields_[static_cast<std::size_t>(i)];
    if (!field.ok) return false;
    if (code.kind == FieldCode::Kind::ControlField) {
      value = field.data;
      return true;
    }
    if (FindSubfield(field.data, code.subfieldCode, value)) return true;
    i = field.next;
  }
  value = {};
  return true;
}

std::optional<std::string> GetFieldValue(std::string_view record, std::string_view code) {
  RecordView view;
  view.Build(record);
  FieldExtractor extractor({ParseFieldCode(code)});
  extractor.Read(view);
  std::string_view value;
  if (!extractor.Value(0, value)) return std::nullopt;
  return std::string(value);
}
