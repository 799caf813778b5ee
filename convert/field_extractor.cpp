#include "field_extractor.h"

#include <cstring>

#include "record_type.h"

namespace {

// Byte length of the first GBK character of a subfield piece.
std::size_t FirstCharacterLength(std::string_view piece) {
  const auto lead = static_cast<unsigned char>(piece[0]);
  return (lead >= 0x81 && lead <= 0xFE && piece.size() >= 2) ? 2 : 1;
}

// The value of the first subfield whose code matches; false when none does.
// (An out parameter rather than an optional: copying the optional on the
// way out went through the stack and stalled, once per column per record.)
bool FindSubfield(std::string_view data, std::string_view subfieldCode, std::string_view& value) {
  std::size_t at = data.find(kSubfieldDelimiter);  // piece 0 (indicators) is never a subfield
  while (at != std::string_view::npos) {
    const std::size_t begin = at + 1;
    const std::size_t next = data.find(kSubfieldDelimiter, begin);
    const std::string_view piece = data.substr(begin, next == std::string_view::npos ? next : next - begin);
    if (!piece.empty()) {
      const std::size_t codeLength = FirstCharacterLength(piece);
      if (piece.substr(0, codeLength) == subfieldCode) {
        value = piece.substr(codeLength);
        return true;
      }
    }
    at = next;
  }
  return false;
}

// Directory tags are 3 bytes by construction, and so is the tag of every code
// that reaches the directory. The fixed size lets the compiler compare in place
// instead of calling memcmp, for every entry of every column.
bool SameTag(std::string_view entryTag, const std::string& codeTag) {
  return std::memcmp(entryTag.data(), codeTag.data(), 3) == 0;
}

}  // namespace

std::string_view FieldExtractor::WithoutFieldTerminators(std::string_view bytes) {
  // A well-formed field ends in its one terminator; only unusual data needs a copy.
  while (!bytes.empty() && bytes.back() == kFieldTerminator) bytes.remove_suffix(1);
  if (bytes.empty() || std::memchr(bytes.data(), kFieldTerminator, bytes.size()) == nullptr) return bytes;
  scratch_.clear();
  for (char c : bytes) {
    if (c != kFieldTerminator) scratch_.push_back(c);
  }
  return scratch_;
}

std::optional<std::string_view> FieldExtractor::Extract(const RecordView& view, const FieldCode& code) {
  if (code.kind == FieldCode::Kind::AlwaysEmpty || view.Record().empty()) return std::string_view{};
  if (view.Status() == ViewStatus::Failed) return std::nullopt;
  if (view.Status() == ViewStatus::Refused) return std::string_view{};
  if (code.kind == FieldCode::Kind::RecordType) return RecordTypeNameGbk(view.TypeOfRecord());

  for (const DirectoryEntry& entry : view.Entries()) {
    if (!SameTag(entry.Tag, code.tag)) continue;
    const FieldSlice slice = view.FieldData(entry);
    if (!slice.ok) return std::nullopt;
    const std::string_view data = WithoutFieldTerminators(slice.bytes);
    if (code.kind == FieldCode::Kind::ControlField) return data;
    std::string_view value;
    if (FindSubfield(data, code.subfieldCode, value)) return value;
  }
  return std::string_view{};
}

std::optional<std::string> GetFieldValue(std::string_view record, std::string_view code) {
  RecordView view;
  view.Build(record);
  FieldExtractor extractor;
  const std::optional<std::string_view> value = extractor.Extract(view, ParseFieldCode(code));
  if (!value) return std::nullopt;
  return std::string(*value);
}
