#pragma once
// The reading of one ISO 2709 record: leader, directory and field data, all
// counted in bytes of the record as it stands in the file.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

struct DirectoryEntry {
  std::string_view Tag;     // 3 bytes, compared as they are
  std::string_view Length;  // 4 bytes, read only when the tag is asked for
  std::string_view Start;   // 5 bytes, likewise
};

enum class ViewStatus {
  Ok,
  Refused,  // directory length not a multiple of 12: every value is empty
  Failed,   // no field terminator at or after byte 25: extraction fails
};

constexpr char kFieldTerminator = 0x1E;
constexpr char kSubfieldDelimiter = 0x1F;
constexpr char kRecordTerminator = 0x1D;

// Reads a number of a directory entry (Length or Start) as a decimal number
// with the fraction dropped: blanks before and after, an optional sign, digits
// and an optional fraction ("+012" is 12, "1.50" is 1, "-012" is -12).
// Anything else ("12a4", all blanks, "1e3", "1,2") is unreadable: nullopt.
std::optional<long> ReadDirectoryNumber(std::string_view text);

// Field data of one entry, cut out of the record: still holds 0x1E bytes,
// which readers skip.
struct FieldSlice {
  bool ok = false;          // false: Length or Start unreadable, negative, or before the record
  std::string_view bytes;   // empty when Start lies beyond the end of the record
};

class RecordView {
 public:
  // Builds the view of one record: finds the directory and checks its length.
  // Entries are read from the record's bytes when asked for, so building
  // costs the same whatever the directory's size.
  void Build(std::string_view record);

  ViewStatus Status() const { return status_; }
  std::string_view Record() const { return record_; }
  // The leader's 7th byte (type of record), or 0 when the record is shorter.
  char TypeOfRecord() const { return record_.size() >= 7 ? record_[6] : 0; }
  // The bytes after the directory, up to the record terminator ("" when the
  // record cannot be read).
  std::string_view Data() const {
    return status_ == ViewStatus::Failed ? std::string_view() : record_.substr(directoryEnd_ + 1, dataEnd_ - directoryEnd_ - 1);
  }
  std::size_t EntryCount() const { return entryCount_; }
  DirectoryEntry Entry(std::size_t index) const {
    const std::string_view entry = record_.substr(kLeaderLength + kEntryLength * index, kEntryLength);
    return {entry.substr(0, 3), entry.substr(3, 4), entry.substr(7, 5)};
  }
  FieldSlice FieldData(const DirectoryEntry& entry) const;
  // The same for entry `index`, in line for the numbers of nearly every
  // entry, which are digits only; the others go to FieldData.
  FieldSlice FieldAt(std::size_t index) const {
    const char* const entry = record_.data() + kLeaderLength + kEntryLength * index;
    std::size_t length = 0;
    std::size_t start = 0;
    bool digits = true;
    for (std::size_t i = 3; i < 7; ++i) length = length * 10 + Digit(entry[i], digits);
    for (std::size_t i = 7; i < 12; ++i) start = start * 10 + Digit(entry[i], digits);
    if (!digits) return FieldData(Entry(index));
    // Field positions count from the first byte after the directory's terminator.
    const std::size_t from = start + directoryEnd_ + 1;
    if (from >= dataEnd_) return {true, {}};
    return {true, std::string_view(record_.data() + from, std::min(length, dataEnd_ - from))};
  }

  static constexpr std::size_t kLeaderLength = 24;
  static constexpr std::size_t kEntryLength = 12;

 private:
  static std::size_t Digit(char c, bool& digits) {
    const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
    digits &= digit <= 9;
    return digit;
  }

  std::string_view record_;
  std::size_t dataEnd_ = 0;  // the record terminator is no field's data
  ViewStatus status_ = ViewStatus::Failed;
  std::size_t directoryEnd_ = 0;  // 0-based index of the directory's 0x1E
  std::size_t entryCount_ = 0;
};
