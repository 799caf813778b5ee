#include "record_view.h"

#include <cstring>

#include "directory_number.h"

namespace {
constexpr std::size_t kLeaderLength = 24;
constexpr std::size_t kEntryLength = 12;

// Nearly every Length and Start is digits only; those are read here, in line,
// since two are read for every column of every record. Anything else goes to
// the general rules.
std::optional<long> ReadEntryNumber(std::string_view text) {
  long value = 0;
  for (char c : text) {
    const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
    if (digit > 9) return ReadDirectoryNumber(text);
    value = value * 10 + static_cast<long>(digit);
  }
  return value;
}
}  // namespace

void RecordView::Build(std::string_view record) {
  record_ = record;
  entries_.clear();
  status_ = ViewStatus::Failed;
  if (record.empty()) return;
  const void* found = std::memchr(record.data(), kFieldTerminator, record.size());
  if (found == nullptr) return;
  directoryEnd_ = static_cast<std::size_t>(static_cast<const char*>(found) - record.data());
  if (directoryEnd_ < kLeaderLength) return;

  const std::size_t directoryLength = directoryEnd_ - kLeaderLength;
  if (directoryLength % kEntryLength != 0) {
    status_ = ViewStatus::Refused;
    return;
  }
  status_ = ViewStatus::Ok;
  for (std::size_t at = kLeaderLength; at < directoryEnd_; at += kEntryLength) {
    entries_.push_back({record.substr(at, 3), record.substr(at + 3, 4), record.substr(at + 7, 5)});
  }
}

FieldSlice RecordView::FieldData(const DirectoryEntry& entry) const {
  const std::optional<long> length = ReadEntryNumber(entry.Length);
  const std::optional<long> start = ReadEntryNumber(entry.Start);
  if (!length || !start || *length < 0) return {};
  // Field positions count from the first byte after the directory's terminator.
  const long first = *start + static_cast<long>(directoryEnd_) + 1;
  if (first < 0) return {};
  const auto from = static_cast<std::size_t>(first);
  if (from >= record_.size()) return {true, {}};
  return {true, record_.substr(from, static_cast<std::size_t>(*length))};
}
