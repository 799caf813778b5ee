#pragma once
// The reading of one ISO 2709 record: leader, directory and field data, all
// counted in bytes of the record as it stands in the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

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
// An entry's 4 or 5 characters cannot overflow a long.
std::optional<long> ReadDirectoryNumber(std::string_view text);

// Field data of one entry, cut out of the record: still holds 0x1E bytes,
// which readers skip.
struct FieldSlice {
  bool ok = false;         // false: Length or Start unreadable, negative, or before the record
  std::string_view bytes;  // empty when Start lies beyond the end of the record
};

class RecordView {
 public:
  // The tag number of an entry whose tag is not three digits.
  static constexpr std::uint16_t kOtherTag = 1000;

  // Builds the view of one record: finds the directory and reads every
  // entry once, into a table that the readers of its fields share.
  void Build(std::string_view record);

  ViewStatus Status() const { return status_; }
  std::string_view Record() const { return record_; }
  // The leader's 7th byte (type of record), or 0 when the record is shorter.
  char TypeOfRecord() const { return record_.size() >= 7 ? record_[6] : 0; }
  // The bytes after the directory, up to the record terminator ("" when the
  // record cannot be read).
  std::string_view Data() const {
    return status_ == ViewStatus::Failed ? std::string_view()
                                         : record_.substr(directoryEnd_ + 1, dataEnd_ - directoryEnd_ - 1);
  }
  std::size_t EntryCount() const { return entryCount_; }
  // The tag of entry `index`: "000".."999" as a number, kOtherTag for any other.
  std::uint16_t TagNumber(std::size_t index) const { return entries_[index].tag; }
  // The tag's 3 bytes as they stand in the directory.
  std::string_view Tag(std::size_t index) const { return record_.substr(kLeaderLength + kEntryLength * index, 3); }
  // The field of entry `index`: what there is of it within the record.
  FieldSlice FieldAt(std::size_t index) const {
    const Entry& entry = entries_[index];
    if (!entry.usable) return {};
    if (entry.from >= dataEnd_) return {true, {}};
    return {true,
            std::string_view(record_.data() + entry.from, std::min<std::size_t>(entry.length, dataEnd_ - entry.from))};
  }
  // The first entry of tag 100, or -1.
  std::int32_t First100() const { return first100_; }

  // Whether every entry's Length and Start are digits only and the Lengths
  // add up to no more than the record: a directory that cannot hold a bad
  // entry or overlapping fields.
  bool PlainDirectory() const { return plain_; }

  static constexpr std::size_t kLeaderLength = 24;
  static constexpr std::size_t kEntryLength = 12;

 private:
  // One directory entry as read when the view is built.
  struct Entry {
    std::size_t from = 0;      // the field's first byte, counted from the record's first byte
    std::uint32_t length = 0;  // as the directory says, which may reach past the record's end
    std::uint16_t tag = kOtherTag;
    bool usable = false;  // Length and Start readable, Length not negative, Start not before the record
  };

  void ReadDirectory();
  static bool ReadPlainEntry(const unsigned char* bytes, std::size_t dataStart, Entry& entry);
  // An entry whose tag, Length or Start is not digits only.
  void ReadUnusualEntry(std::size_t index, Entry& entry) const;
  // Eight bytes, the first in the lowest bits, whatever the machine's order.
  static std::uint64_t Load(const unsigned char* bytes);
  static constexpr std::uint64_t kZeros = 0x3030303030303030u;  // '0' in every byte
  // Whether all eight bytes are '0'..'9': high nibble 3, and low nibble + 6 below 16.
  static bool AllDigits(std::uint64_t bytes) {
    return (((bytes ^ kZeros) | ((bytes + 0x0606060606060606u) ^ kZeros)) & 0xF0F0F0F0F0F0F0F0u) == 0;
  }
  // Whether any of the sixteen bytes is not a digit, told without a branch.
  static bool NotAllDigits(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t sixes = 0x0606060606060606u;
    return (((a ^ kZeros) | ((a + sixes) ^ kZeros) | (b ^ kZeros) | ((b + sixes) ^ kZeros)) & 0xF0F0F0F0F0F0F0F0u) != 0;
  }
  // Eight digit values to four numbers of two digits, each in the low byte
  // of a 16-bit lane, the first lane from the first two digits.
  static std::uint64_t TwoDigitNumbers(std::uint64_t digits) {
    return ((digits & 0x00FF00FF00FF00FFu) * 10 + ((digits >> 8) & 0x00FF00FF00FF00FFu));
  }
  // The number of a tag of three digits, or kOtherTag.
  static std::uint16_t TagNumberOf(std::string_view tag) {
    const unsigned d0 = static_cast<unsigned char>(tag[0]) - unsigned{'0'};
    const unsigned d1 = static_cast<unsigned char>(tag[1]) - unsigned{'0'};
    const unsigned d2 = static_cast<unsigned char>(tag[2]) - unsigned{'0'};
    return d0 > 9 || d1 > 9 || d2 > 9 ? kOtherTag : static_cast<std::uint16_t>(d0 * 100 + d1 * 10 + d2);
  }

  std::string_view record_;
  std::size_t dataEnd_ = 0;  // the record terminator is no field's data
  ViewStatus status_ = ViewStatus::Failed;
  std::size_t directoryEnd_ = 0;  // 0-based index of the directory's 0x1E
  std::size_t entryCount_ = 0;
  std::vector<Entry> entries_;  // grows to the longest directory seen, a twelfth of its record's size or less
  std::int32_t first100_ = -1;
  bool plain_ = false;
};
