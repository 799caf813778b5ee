#pragma once
// Builds small ISO 2709 records for tests: a leader, a directory that matches
// the fields, the fields each ended by 0x1E, and the record terminator 0x1D.
// The corruption setters break exactly one thing so a test says what it tests.
#include <string>
#include <string_view>
#include <vector>

// One subfield: the delimiter 0x1F, the code and the value. Written as a
// function because "\x1F" "a" in a literal is easy to get wrong.
inline std::string Sf(std::string_view code, std::string_view value) {
  return "\x1F" + std::string(code) + std::string(value);
}

class RecordBuilder {
 public:
  // Type of record: the leader's 7th byte.
  RecordBuilder& Type(char type) {
    type_ = type;
    return *this;
  }

  // A field; data without its terminator, which Build adds.
  RecordBuilder& Field(std::string_view tag, std::string_view data) {
    fields_.push_back({std::string(tag), std::string(data), "", ""});
    return *this;
  }

  // Replaces the 4 Length characters of field i's directory entry.
  RecordBuilder& LengthText(std::size_t i, std::string_view text) {
    fields_.at(i).lengthText = std::string(text);
    return *this;
  }
  // Replaces the 5 Start characters of field i's directory entry.
  RecordBuilder& StartText(std::size_t i, std::string_view text) {
    fields_.at(i).startText = std::string(text);
    return *this;
  }
  // Bytes added to the end of the directory (a length that is no multiple of 12).
  RecordBuilder& DirectoryTail(std::string_view bytes) {
    directoryTail_ = std::string(bytes);
    return *this;
  }
  // Leaves out the directory's field terminator (and keeps the fields).
  RecordBuilder& WithoutDirectoryTerminator() {
    directoryTerminator_ = false;
    return *this;
  }
  RecordBuilder& WithoutRecordTerminator() {
    recordTerminator_ = false;
    return *this;
  }

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
    directory += directoryTail_;
    if (directoryTerminator_) directory += "\x1E";
    const std::size_t base = 24 + directory.size();
    const std::size_t length = base + data.size() + (recordTerminator_ ? 1 : 0);
    std::string record = Digits(length, 5) + "n" + type_ + "m  22" + Digits(base, 5) + "   450 ";
    record += directory;
    record += data;
    if (recordTerminator_) record += "\x1D";
    return record;
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

  char type_ = 'a';
  std::vector<Entry> fields_;
  std::string directoryTail_;
  bool directoryTerminator_ = true;
  bool recordTerminator_ = true;
};
