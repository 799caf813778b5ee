#pragma once
// The reading of one ISO 2709 record: leader, directory and field data, all
// counted in bytes of the record as it stands in the file.
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

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
  std::size_t EntryCount() const { return entryCount_; }
  DirectoryEntry Entry(std::size_t index) const {
    const std::string_view entry = record_.substr(kLeaderLength + kEntryLength * index, kEntryLength);
    return {entry.substr(0, 3), entry.substr(3, 4), entry.substr(7, 5)};
  }
  // The whole directory, in directory order.
  std::vector<DirectoryEntry> Entries() const;
  FieldSlice FieldData(const DirectoryEntry& entry) const;

  static constexpr std::size_t kLeaderLength = 24;
  static constexpr std::size_t kEntryLength = 12;

 private:
  std::string_view record_;
  ViewStatus status_ = ViewStatus::Failed;
  std::size_t directoryEnd_ = 0;  // 0-based index of the directory's 0x1E
  std::size_t entryCount_ = 0;
};
