#pragma once
// Builds small ISO 2709 records for tests: a leader, a directory that matches
// the fields, the fields each ended by 0x1E, and the record terminator 0x1D.
// The corruption setters break exactly one thing.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

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
