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

inline std::vector<HardValue> RecordedHardValues() {
  std::vector<HardValue> values;
  for (const HardValue& value : kHardValues) {
    if (value.given.find_first_of("\r\x1D\x1E\x1F") == std::string::npos) values.push_back(value);
  }
  return values;
}

// A field holds at most 9,999 bytes: a longer value goes into pieces, cut at
// characters, one 200$a each, which "200a*" joins with no separator.
inline std::string HardRecords() {
  std::string records;
  int number = 0;
  for (const HardValue& value : RecordedHardValues()) {
    RecordBuilder record;
    record.Coding('a').Field("001", "00" + std::to_string(++number));
    std::size_t at = 0;
    do {
      std::size_t end = std::min(value.given.size(), at + 3000);
      while (end < value.given.size() && (static_cast<unsigned char>(value.given[end]) & 0xC0) == 0x80) --end;
      record.Field("200", "1 " + Sf("a", value.given.substr(at, end - at)));
      at = end;
    } while (at < value.given.size());
    records += record.Build();
  }
  return records;
}
