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

// Nearly every entry is twelve digits: told and read with no branch but the
// one on the answer, sixteen bytes at once where the machine offers SSE2;
// the others go to ReadUnusualEntry.
void RecordView::ReadDirectory() {
  if (entries_.size() < entryCount_) entries_.resize(entryCount_);  // never shrunk: the next record reuses it
  const auto* const first = reinterpret_cast<const unsigned char*>(record_.data()) + kLeaderLength;
  const std::size_t dataStart = directoryEnd_ + 1;  // field positions count from here
  std::size_t lengths = 0;
  bool digitsOnly = true;
  std::size_t i = 0;
#if defined(QUIRNEL_BYTE_SEARCH_SSE2)
  // A load of sixteen bytes reads four past its entry: every entry but the
  // last has them within the record, and the last too when the data follows.
  const std::size_t loads = kLeaderLength + 16;
  const std::size_t wide = record_.size() >= loads ? (record_.size() - loads) / kEntryLength + 1 : 0;
  for (const std::size_t end = std::min(entryCount_, wide); i < end; ++i) {
    if (!ReadPlainEntry(first + kEntryLength * i, dataStart, entries_[i])) break;
    lengths += entries_[i].length;
  }
#endif
  for (; i < entryCount_; ++i) {
    const unsigned char* const bytes = first + kEntryLength * i;
    Entry& entry = entries_[i];
    const std::uint64_t head = Load(bytes);      // tag 0-2, Length 3-6, Start 7
    const std::uint64_t tail = Load(bytes + 4);  // Length 4-6, Start 7-11
    if (NotAllDigits(head, tail)) {
      ReadUnusualEntry(i, entry);
      const unsigned last = bytes[11] - unsigned{'0'};
      digitsOnly &= AllDigits(Load(bytes + 3)) && last <= 9;  // the numbers, whatever the tag
      if (digitsOnly) lengths += entry.length;                // then usable
      continue;
    }
    const std::uint64_t h = head ^ kZeros, t = tail ^ kZeros;  // the digits' values
    const std::uint64_t pairs = TwoDigitNumbers(t);            // Length 4-5, Start 8-9, Start 10-11
    entry.tag = static_cast<std::uint16_t>((h & 0xFF) * 100 + ((h >> 8) & 0xFF) * 10 + ((h >> 16) & 0xFF));
    const std::size_t length = ((h >> 24) & 0xFF) * 1000 + (pairs & 0xFF) * 10 + ((t >> 16) & 0xFF);
    lengths += length;
    entry.from = dataStart + ((t >> 24) & 0xFF) * 10000 + ((pairs >> 32) & 0xFF) * 100 + ((pairs >> 48) & 0xFF);
    entry.length = static_cast<std::uint32_t>(length);
    entry.usable = true;
  }
  plain_ = digitsOnly && lengths <= record_.size();
  for (i = 0; i < entryCount_; ++i) {
    if (entries_[i].tag == 100) {
      first100_ = static_cast<std::int32_t>(i);
      break;
    }
  }
}

#if defined(QUIRNEL_BYTE_SEARCH_SSE2)
// An entry of twelve digits, from one load of sixteen bytes: false, and
// nothing read, for any other. Shifted by one byte, the tag, Length and
// Start each begin a pair of 16-bit lanes, so that two rounds of
// multiply-adds give their values.
bool RecordView::ReadPlainEntry(const unsigned char* bytes, std::size_t dataStart, Entry& entry) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i digits = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), _mm_set1_epi8('0'));
  const __m128i above9 = _mm_subs_epu8(digits, _mm_set1_epi8(9));  // 0 for the digits alone
  if ((_mm_movemask_epi8(_mm_cmpeq_epi8(above9, zero)) & 0xFFF) != 0xFFF) return false;
  const __m128i shifted = _mm_slli_si128(digits, 1);  // 0 T T T L L L L S S S S S
  // T*100 | T*10+T | L*1000+L*100 | L*10+L, then S*1000+S*100 | S*10+S | S | 0: each below 10,000
  const __m128i low = _mm_madd_epi16(_mm_unpacklo_epi8(shifted, zero), _mm_setr_epi16(0, 100, 10, 1, 1000, 100, 10, 1));
  const __m128i high = _mm_madd_epi16(_mm_unpackhi_epi8(shifted, zero), _mm_setr_epi16(1000, 100, 10, 1, 1, 0, 0, 0));
  // The tag | Length | Start but its last digit, times ten | Start's last digit
  const __m128i sums = _mm_madd_epi16(_mm_packs_epi32(low, high), _mm_setr_epi16(1, 1, 1, 1, 10, 10, 1, 0));
  entry.tag = static_cast<std::uint16_t>(_mm_cvtsi128_si32(sums));
  entry.length = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 4)));
  const __m128i start = _mm_add_epi32(sums, _mm_srli_si128(sums, 4));
  entry.from = dataStart + static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(start, 8)));
  entry.usable = true;
  return true;
}
#endif

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
