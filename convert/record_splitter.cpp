#include "record_splitter.h"

#include <cstring>

#include "file_system.h"
#include "record_view.h"

namespace {

bool IsGapAfterRecord(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\0'; }

// First CR or 0x1D in [from, to), or to. CR (0x0D) and 0x1D differ only in
// bit 0x10, so with that bit set both become 0x1D and one test finds either;
// eight bytes are tested at once, since this scan touches every input byte.
const char* FindRecordEnd(const char* from, const char* to) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  const char* p = from;
  for (; to - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const std::uint64_t x = (word | kOnes * 0x10) ^ (kOnes * static_cast<unsigned char>(kRecordTerminator));
    if (((x - kOnes) & ~x & kHighBits) != 0) break;  // some byte of x is zero
  }
  for (; p < to; ++p) {
    if (*p == '\r' || *p == kRecordTerminator) return p;
  }
  return to;
}

}  // namespace

RecordSplitter::RecordSplitter(InputFile& input, std::size_t blockSize)
    : input_(input), buffer_(blockSize), blockSize_(blockSize) {}

// Moves the unconsumed bytes to the front and reads another block after them.
// The buffer grows only when a single record is longer than it.
// False when no more bytes can come (end of input or a read error).
bool RecordSplitter::Refill() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    bufferOffset_ += begin_;
    end_ -= begin_;
    begin_ = 0;
  }
  if (atEnd_) return false;
  // A full buffer always grows: a read of zero bytes would look like the end.
  const std::size_t room = buffer_.size() - end_;
  if (room == 0 || room < blockSize_ / 2) buffer_.resize(buffer_.size() + blockSize_);
  const std::size_t got = input_.Read(buffer_.data() + end_, buffer_.size() - end_);
  if (got == 0) {
    atEnd_ = true;
    readFailed_ = input_.Failed();
    return false;
  }
  end_ += got;
  return true;
}

void RecordSplitter::SkipAfterRecordTerminator() {
  while (begin_ < end_ && IsGapAfterRecord(buffer_[begin_])) ++begin_;
  skippingAfterTerminator_ = begin_ == end_;
}

bool RecordSplitter::Next(std::string_view& record) {
  std::size_t scanned = begin_;  // bytes before this hold no record end
  for (;;) {
    if (skippingAfterTerminator_) {
      SkipAfterRecordTerminator();
      scanned = begin_;
      if (skippingAfterTerminator_) {
        if (!Refill()) return false;
        scanned = begin_;
        continue;
      }
    }
    const char* base = buffer_.data();
    const char* stop = FindRecordEnd(base + scanned, base + end_);
    const std::size_t at = static_cast<std::size_t>(stop - base);
    if (at < end_ && buffer_[at] == kRecordTerminator) {
      record = std::string_view(base + begin_, at + 1 - begin_);
      recordOffset_ = bufferOffset_ + begin_;
      begin_ = at + 1;
      skippingAfterTerminator_ = true;
      return true;
    }
    if (at < end_ && (at + 1 < end_ || atEnd_)) {  // a CR, and we can see what follows it
      record = std::string_view(base + begin_, at - begin_);
      recordOffset_ = bufferOffset_ + begin_;
      begin_ = at + 1 + (at + 1 < end_ && buffer_[at + 1] == '\n');
      if (!record.empty()) return true;
      scanned = begin_;
      continue;
    }
    if (at == end_ && atEnd_) {  // the last record needs no line break
      if (begin_ == end_) return false;
      record = std::string_view(base + begin_, end_ - begin_);
      recordOffset_ = bufferOffset_ + begin_;
      begin_ = end_;
      return true;
    }
    // Need more bytes: the record (or the byte after a CR) continues past the buffer.
    const std::size_t unscanned = at - begin_;  // offset of the first byte to look at again
    if (!Refill() && readFailed_) return false;
    scanned = begin_ + unscanned;
  }
}
