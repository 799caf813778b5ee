#include "marc/record_view.h"

#include <algorithm>
#include <cstring>

#include "text/byte_search.h"

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::optional<long> ReadDirectoryNumber(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  std::size_t digits = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++digits) value = value * 10 + (text[i] - '0');
  if (i < n && text[i] == '.') {
    ++i;
    for (; i < n && IsDigit(text[i]); ++i) ++digits;  // fraction digits: dropped
  }
  while (i < n && text[i] == ' ') ++i;
  if (digits == 0 || i != n) return std::nullopt;
  return negative ? -value : value;
}

void RecordView::Build(std::string_view record) {
  record_ = record;
  dataEnd_ = !record.empty() && record.back() == kRecordTerminator ? record.size() - 1 : record.size();
  entryCount_ = 0;
  status_ = ViewStatus::Failed;
  if (record.empty()) return;
  const char* const end = record.data() + record.size();
  const char* const found = byte_search::Find(record.data(), end, kFieldTerminator);
  if (found == end) return;
  directoryEnd_ = static_cast<std::size_t>(found - record.data());
  if (directoryEnd_ < kLeaderLength) return;

  const std::size_t directoryLength = directoryEnd_ - kLeaderLength;
  if (directoryLength % kEntryLength != 0) {
    status_ = ViewStatus::Refused;
    return;
  }
  status_ = ViewStatus::Ok;
  entryCount_ = directoryLength / kEntryLength;
}

// Numbers of digits only are read in FieldAt; these are the others.
FieldSlice RecordView::FieldData(const DirectoryEntry& entry) const {
  const std::optional<long> length = ReadDirectoryNumber(entry.Length);
  const std::optional<long> start = ReadDirectoryNumber(entry.Start);
  if (!length || !start || *length < 0) return {};
  // Field positions count from the first byte after the directory's terminator.
  const long first = *start + static_cast<long>(directoryEnd_) + 1;
  if (first < 0) return {};
  return Slice(static_cast<std::size_t>(first), static_cast<std::size_t>(*length));
}
