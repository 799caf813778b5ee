#pragma once
// Builds small ISO 2709 records for tests: a leader, a directory that matches
// the fields, the fields each ended by 0x1E, and the record terminator 0x1D.
// The corruption setters break exactly one thing.
#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "text/recoder.h"

// Test texts are written in UTF-8; GBK records hold these bytes.
inline std::string Gbk(std::string_view utf8) {
  const std::optional<std::string> gbk = Utf8ToGbk(utf8);
  if (!gbk) throw std::invalid_argument("no GBK form");
  return *gbk;
}

// One subfield: the delimiter 0x1F, the code and the value.
inline std::string Sf(std::string_view code, std::string_view value) {
  return "\x1F" + std::string(code) + std::string(value);
}

class RecordBuilder {
 public:
  // The leader's type of record (position 6) and coding scheme (9: 'a' is UTF-8 in MARC 21).
  RecordBuilder& Type(char type) { return leader_[6] = type, *this; }
  RecordBuilder& Coding(char scheme) { return leader_[9] = scheme, *this; }
  // A field; data without its terminator, which Build adds.
  RecordBuilder& Field(std::string_view tag, std::string_view data) {
    return fields_.push_back({std::string(tag), std::string(data), "", ""}), *this;
  }
  // Replaces the 4 Length or 5 Start characters of field i's directory entry.
  RecordBuilder& LengthText(std::size_t i, std::string_view text) { return fields_.at(i).lengthText = text, *this; }
  RecordBuilder& StartText(std::size_t i, std::string_view text) { return fields_.at(i).startText = text, *this; }
  // Bytes added to the end of the directory (a length that is no multiple of 12).
  RecordBuilder& DirectoryTail(std::string_view bytes) { return directoryTail_ = bytes, *this; }
  RecordBuilder& WithoutRecordTerminator() { return recordTerminator_ = false, *this; }

  std::string Build() const {
    std::string directory;
    std::string data;
    for (const Entry& field : fields_) {
      const std::string bytes = field.data + "\x1E";
      directory += field.tag;
      directory += field.lengthText.empty() ? Digits(bytes.size(), 4) : field.lengthText;
      directory += field.startText.empty() ? Digits(data.size(), 5) : field.startText;
      data += bytes;
    }
    directory += directoryTail_ + "\x1E";
    const std::size_t base = 24 + directory.size();
    std::string leader = leader_;
    // Five digits hold no more than 99,999; longer records exist all the same.
    leader.replace(0, 5, Digits(std::min<std::size_t>(base + data.size() + (recordTerminator_ ? 1 : 0), 99999), 5));
    leader.replace(12, 5, Digits(base, 5));
    return leader + directory + data + (recordTerminator_ ? "\x1D" : "");
  }

 private:
  struct Entry {
    std::string tag;
    std::string data;
    std::string lengthText;
    std::string startText;
  };

  static std::string Digits(std::size_t value, std::size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
  }

  std::string leader_ = "00000nam  2200000   450 ";
  std::vector<Entry> fields_;
  std::string directoryTail_;
  bool recordTerminator_ = true;
};

// A record with count directory entries of tag 200, all pointing at one long
// field of empty subfields, or, shifted, every other one a byte further on.
inline std::string ManyEntries(std::size_t count, bool shifted) {
  std::string field = "1 " + Sf("a", "v");
  while (field.size() < 9990) field += Sf("b", "");
  std::string directory;
  for (std::size_t i = 0; i < count; ++i)
    directory += "200" + std::to_string(field.size() + 1) + (shifted && i % 2 ? "00001" : "00000");
  return "00000nam  2200000   450 " + directory + "\x1E" + field + "\x1E\x1D";
}
