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
  first100_ = -1;
  plain_ = true;
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
  ReadDirectory();
}

// Nearly every entry is twelve digits: told and read from two overlapping
// loads, with no branch but the one on the answer; the others go to
// ReadUnusualEntry.
void RecordView::ReadDirectory() {
  if (entries_.size() < entryCount_) entries_.resize(entryCount_);  // never shrunk: the next record reuses it
  const auto* bytes = reinterpret_cast<const unsigned char*>(record_.data()) + kLeaderLength;
  const std::size_t dataStart = directoryEnd_ + 1;  // field positions count from here
  std::size_t lengths = 0;
  bool digitsOnly = true;
  Entry* entry = entries_.data();
  for (std::size_t i = 0; i < entryCount_; ++i, bytes += kEntryLength, ++entry) {
    const std::uint64_t head = Load(bytes);      // tag 0-2, Length 3-6, Start 7
    const std::uint64_t tail = Load(bytes + 4);  // Length 4-6, Start 7-11
    if (NotAllDigits(head, tail)) {
      ReadUnusualEntry(i, *entry);
      const unsigned last = bytes[11] - unsigned{'0'};
      digitsOnly &= AllDigits(Load(bytes + 3)) && last <= 9;  // the numbers, whatever the tag
      if (digitsOnly) lengths += entry->length;               // then usable
      continue;
    }
    const std::uint64_t h = head ^ kZeros, t = tail ^ kZeros;  // the digits' values
    const std::uint64_t pairs = TwoDigitNumbers(t);           // Length 4-5, Start 8-9, Start 10-11
    entry->tag = static_cast<std::uint16_t>((h & 0xFF) * 100 + ((h >> 8) & 0xFF) * 10 + ((h >> 16) & 0xFF));
    const std::size_t length = ((h >> 24) & 0xFF) * 1000 + (pairs & 0xFF) * 10 + ((t >> 16) & 0xFF);
    lengths += length;
    entry->from = dataStart + ((t >> 24) & 0xFF) * 10000 + ((pairs >> 32) & 0xFF) * 100 + ((pairs >> 48) & 0xFF);
    entry->length = static_cast<std::uint32_t>(length);
    entry->usable = true;
  }
  plain_ = digitsOnly && lengths <= record_.size();
  for (std::size_t i = 0; i < entryCount_; ++i) {
    if (entries_[i].tag == 100) {
      first100_ = static_cast<std::int32_t>(i);
      break;
    }
  }
}

void RecordView::ReadUnusualEntry(std::size_t index, Entry& entry) const {
  const std::string_view bytes = record_.substr(kLeaderLength + kEntryLength * index, kEntryLength);
  entry.tag = TagNumberOf(bytes);
  entry.usable = false;
  const std::optional<long> length = ReadDirectoryNumber(bytes.substr(3, 4));
  const std::optional<long> start = ReadDirectoryNumber(bytes.substr(7, 5));
  if (!length || !start || *length < 0) return;
  // Field positions count from the first byte after the directory's terminator.
  const long first = *start + static_cast<long>(directoryEnd_) + 1;
  if (first < 0) return;
  entry.from = static_cast<std::size_t>(first);
  entry.length = static_cast<std::uint32_t>(*length);  // four characters: at most 9999
  entry.usable = true;
}

std::uint64_t RecordView::Load(const unsigned char* bytes) {
  std::uint64_t value = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::memcpy(&value, bytes, sizeof value);  // one load where the machine's order is the bytes' own
#else
  for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
#endif
  return value;
}
