#pragma once
// The reading of one ISO 2709 record: leader, directory and field data, all
// counted in bytes of the record as it stands in the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

// The numbers of a directory entry, read only when its tag is asked for.
// (Its tag, the first 3 bytes, is compared where the directory is walked.)
struct DirectoryEntry {
  std::string_view Length;  // 4 bytes
  std::string_view Start;   // 5 bytes
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
    return status_ == ViewStatus::Failed ? std::string_view()
                                         : record_.substr(directoryEnd_ + 1, dataEnd_ - directoryEnd_ - 1);
  }
  std::size_t EntryCount() const { return entryCount_; }
  DirectoryEntry Entry(std::size_t index) const {
    const std::string_view entry = record_.substr(kLeaderLength + kEntryLength * index, kEntryLength);
    return {entry.substr(3, 4), entry.substr(7, 5)};
  }
  FieldSlice FieldData(const DirectoryEntry& entry) const;
  // The same for entry `index`, in line for the numbers of nearly every
  // entry, which are digits only; the others go to FieldData.
  FieldSlice FieldAt(std::size_t index) const {
    const auto* entry = reinterpret_cast<const unsigned char*>(record_.data()) + kLeaderLength + kEntryLength * index;
    // Bytes 3-6 are Length, 7-11 Start: eight of the nine digits at once.
    const std::uint64_t eight = Load(entry + 3);
    const unsigned last = entry[11] - unsigned{'0'};
    if (!AllDigits(eight) || last > 9) return FieldData(Entry(index));
    const std::uint64_t values = DigitPairs(eight);  // four two-digit numbers, the first in the low bits
    const std::size_t length = (values & 0xFF) * 100 + ((values >> 16) & 0xFF);
    const std::size_t start = ((values >> 32) & 0xFF) * 1000 + ((values >> 48) & 0xFF) * 10 + last;
    // Field positions count from the first byte after the directory's terminator.
    return Slice(start + directoryEnd_ + 1, length);
  }

  // Whether every entry's Length and Start are digits only and the Lengths
  // add up to no more than the record: a directory that cannot hold a bad
  // entry or overlapping fields, told in a dozen instructions an entry.
  bool PlainDirectory() const {
    std::size_t lengths = 0;
    const auto* entry = reinterpret_cast<const unsigned char*>(record_.data()) + kLeaderLength;
    for (std::size_t i = 0; i < entryCount_; ++i, entry += kEntryLength) {
      const std::uint64_t eight = Load(entry + 3);
      if (!AllDigits(eight) || entry[11] - unsigned{'0'} > 9) return false;
      const std::uint64_t values = DigitPairs(eight);
      lengths += (values & 0xFF) * 100 + ((values >> 16) & 0xFF);
    }
    return lengths <= record_.size();
  }

  static constexpr std::size_t kLeaderLength = 24;
  static constexpr std::size_t kEntryLength = 12;

 private:
  // The field's bytes from `from`, cut short at the record's end.
  FieldSlice Slice(std::size_t from, std::size_t length) const {
    if (from >= dataEnd_) return {true, {}};
    return {true, std::string_view(record_.data() + from, std::min(length, dataEnd_ - from))};
  }
  // Eight bytes, the first in the lowest bits, whatever the machine's order.
  static std::uint64_t Load(const unsigned char* bytes) {
    std::uint64_t value = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(&value, bytes, sizeof value);  // one load where the machine's order is the bytes' own
#else
    for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
#endif
    return value;
  }
  // Whether all eight bytes are '0'..'9': high nibble 3, and low nibble + 6 below 16.
  static bool AllDigits(std::uint64_t bytes) {
    const std::uint64_t threes = 0x3030303030303030u;
    return (bytes & 0xF0F0F0F0F0F0F0F0u) == threes && ((bytes + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) == threes;
  }
  // Eight digits to four numbers of two digits, each in the low byte of a
  // 16-bit lane, the first lane from the first two digits.
  static std::uint64_t DigitPairs(std::uint64_t bytes) {
    const std::uint64_t digits = bytes & 0x0F0F0F0F0F0F0F0Fu;
    return ((digits & 0x00FF00FF00FF00FFu) * 10 + ((digits >> 8) & 0x00FF00FF00FF00FFu));
  }

  std::string_view record_;
  std::size_t dataEnd_ = 0;  // the record terminator is no field's data
  ViewStatus status_ = ViewStatus::Failed;
  std::size_t directoryEnd_ = 0;  // 0-based index of the directory's 0x1E
  std::size_t entryCount_ = 0;
};
