#pragma once
// The hard values as a record file holds them: one UTF-8 record each, the
// value in 200$a and the record's number with leading zeros in 001. Values a
// record cannot hold are left out: a CR ends a record, and 0x1D, 0x1E and
// 0x1F are its structure.
#include <algorithm>
#include <string>
#include <vector>

#include "hard_values.h"
#include "record_builder.h"

inline bool FitsInARecord(const std::string& value) {
  return value.find_first_of("\r\x1D\x1E\x1F") == std::string::npos;
}

// The hard values the records hold, in their order.
inline std::vector<HardValue> RecordedHardValues() {
  std::vector<HardValue> values;
  for (const HardValue& value : kHardValues) {
    if (FitsInARecord(value.given)) values.push_back(value);
  }
  return values;
}

// A field holds at most 9,999 bytes: a longer value is cut into pieces, at
// characters, one 200$a each, which "200a*" joins with no separator.
inline std::vector<std::string> Pieces(const std::string& value) {
  constexpr std::size_t kPiece = 3000;
  std::vector<std::string> pieces;
  for (std::size_t at = 0; at < value.size() || pieces.empty();) {
    std::size_t end = std::min(value.size(), at + kPiece);
    while (end < value.size() && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
    pieces.push_back(value.substr(at, end - at));
    at = end;
  }
  return pieces;
}

inline std::string HardRecords() {
  std::string records;
  int number = 0;
  for (const HardValue& value : RecordedHardValues()) {
    RecordBuilder record;
    record.Coding('a').Field("001", "00" + std::to_string(++number));
    for (const std::string& piece : Pieces(value.given)) record.Field("200", "1 " + Sf("a", piece));
    records += record.Build();
  }
  return records;
}
