#pragma once
// Reading the data of one field: where its subfields begin, the stray field
// terminators some files leave inside it, and the 100$a that may say how the
// record is encoded. Shared by the extraction of a run's columns and the
// census of a file, which must read fields alike.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "record_view.h"
#include "text_encoding.h"

namespace field_data {

// A directory tag (3 bytes) "000".."999" as its number, -1 for any other tag.
inline int NumericTag(std::string_view tag) {
  const unsigned d0 = static_cast<unsigned char>(tag[0]) - unsigned{'0'};
  const unsigned d1 = static_cast<unsigned char>(tag[1]) - unsigned{'0'};
  const unsigned d2 = static_cast<unsigned char>(tag[2]) - unsigned{'0'};
  if (d0 > 9 || d1 > 9 || d2 > 9) return -1;
  return static_cast<int>(d0 * 100 + d1 * 10 + d2);
}

// The first c in [from, end), or end.
inline const char* Find(const char* from, const char* end, char c) {
  if (from == end) return end;
  const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
  return found != nullptr ? static_cast<const char*>(found) : end;
}

// The first subfield delimiter of a field: piece 0 before it (the
// indicators) is never a subfield. It nearly always follows two indicators,
// which saves a search.
inline const char* FirstDelimiter(std::string_view data) {
  if (data.size() > 2 && data[2] == kSubfieldDelimiter && data[0] != kSubfieldDelimiter &&
      data[1] != kSubfieldDelimiter) {
    return data.data() + 2;
  }
  return Find(data.data(), data.data() + data.size(), kSubfieldDelimiter);
}

// The field's bytes without the terminators at its end.
inline std::string_view WithoutFinalTerminators(std::string_view bytes) {
  while (!bytes.empty() && bytes.back() == kFieldTerminator) bytes.remove_suffix(1);
  return bytes;
}

std::string_view CopyWithoutTerminators(std::string_view bytes, std::string& scratch);

// A well-formed field ends in its one terminator; only unusual data, with
// 0x1E inside, needs a cleaned copy, which goes to the end of scratch.
inline std::string_view WithoutTerminators(std::string_view bytes, std::string& scratch) {
  bytes = WithoutFinalTerminators(bytes);
  if (bytes.empty() || std::memchr(bytes.data(), kFieldTerminator, bytes.size()) == nullptr) return bytes;
  return CopyWithoutTerminators(bytes, scratch);
}

// The encoding of a record whose first 100 field is directory entry
// entry100 (negative when it has none), from the field's first $a and the
// record's bytes, as RecordEncoding decides it. scratch holds a cleaned copy
// of the field if needed.
EncodingDecision DecideEncoding(const RecordView& view, std::int32_t entry100, std::string& scratch);

}  // namespace field_data
