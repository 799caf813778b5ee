#pragma once
// Reading the data of one field: where its subfields begin, the stray field
// terminators some files leave inside it, and the 100$a that may say how the
// record is encoded. Shared by the extraction of a run's columns and the
// census of a file, which must read fields alike.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "marc/record_encoding.h"
#include "marc/record_view.h"
#include "text/byte_search.h"
#include "text/text_encoding.h"

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
inline const char* Find(const char* from, const char* end, char c) { return byte_search::Find(from, end, c); }

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
  const char* const end = bytes.data() + bytes.size();
  if (byte_search::Find(bytes.data(), end, kFieldTerminator) == end) return bytes;
  return CopyWithoutTerminators(bytes, scratch);
}

// What is wrong with a readable record's directory as a whole, whichever
// fields a run asks for.
struct DirectoryFaults {
  bool badEntry = false;  // an entry with an unusable Length or Start
  bool overlap = false;   // fields that overlap until together they are longer than the record
};

// Walks the directory of a readable record and hands each field a reader
// takes to visit(entry, tag, bytes), in directory order: an entry that
// points at the same bytes as the field before it, of the same tag, is no
// other field, and once the fields together are longer than the record no
// more are handed over. A census and a conversion, which asks only for some
// tags, therefore find the same faults in a record: what the conversion
// reads is a part of what this walk counts.
template <typename Visit>
DirectoryFaults WalkFields(const RecordView& view, Visit&& visit) {
  DirectoryFaults faults;
  std::size_t budget = view.Record().size();
  std::string_view lastTag, last;
  for (std::size_t i = 0, entries = view.EntryCount(); i < entries; ++i) {
    const FieldSlice slice = view.FieldAt(i);
    if (!slice.ok) {
      faults.badEntry = true;
      continue;
    }
    const std::string_view tag = view.Tag(i);
    const bool again = !slice.bytes.empty() && slice.bytes.data() == last.data() && slice.bytes.size() == last.size();
    if (again && tag == lastTag) continue;
    lastTag = tag;
    last = slice.bytes;
    if (faults.overlap || slice.bytes.size() > budget) {
      faults.overlap = true;
      continue;
    }
    budget -= slice.bytes.size();
    visit(i, tag, slice.bytes);
  }
  return faults;
}

// The encoding of a record, from the first $a of its first 100 field and
// the record's bytes, as RecordEncoding decides it. scratch holds a cleaned
// copy of the field if needed.
EncodingDecision DecideEncoding(const RecordView& view, std::string& scratch);

}  // namespace field_data
