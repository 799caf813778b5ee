#include "marc/record_splitter.h"

#include <algorithm>
#include <cstring>

#include "file_system.h"
#include "marc/record_view.h"
#include "text/byte_search.h"

namespace {

bool IsGapAfterRecord(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\0'; }

}  // namespace

RecordSplitter::RecordSplitter(InputFile& input, std::size_t blockSize, std::size_t largestRecord,
                               std::size_t windowSize)
    : input_(input),
      blockSize_(std::max<std::size_t>(blockSize, 1)),
      largestRecord_(largestRecord),
      windowSize_(windowSize),
      source_(windowSize == 0 ? Source::Read : Source::Unknown) {}

// Makes the unconsumed bytes the first ones in sight, and brings more after
// them: the next window of a mapped file, or the next block read. False when
// no more bytes can come (end of input or a read error).
bool RecordSplitter::Refill() {
  if (source_ != Source::Read && MoveWindow()) return true;
  if (buffer_.empty()) buffer_.resize(blockSize_);
  if (source_ != Source::Mapped) return RefillFromFile();
  readFailed_ = static_cast<bool>(input_.Error());  // the file shrank under a window
  return false;
}

// Renumbers the indices so that begin_ is 0.
void RecordSplitter::KeepUnconsumedOnly() {
  bufferOffset_ += begin_;
  end_ -= begin_;
  searchedTo_ = searchedTo_ > begin_ ? searchedTo_ - begin_ : 0;
  terminator_ = terminator_ != kNoTerminator && terminator_ >= begin_ ? terminator_ - begin_ : kNoTerminator;
  begin_ = 0;
}

// The window that starts at the unconsumed bytes and reaches a window's
// size past them. False, with source_ Read, when the input cannot be mapped
// (any more); the window given before stays, and its unconsumed bytes go to
// the buffer, where reading goes on from the end of that window.
bool RecordSplitter::MoveWindow() {
  if (atEnd_) return false;
  const std::size_t kept = end_ - begin_;
  const std::size_t wanted = kept + windowSize_ < kept ? kept : kept + windowSize_;
  const std::optional<std::string_view> window = input_.MapWindow(bufferOffset_ + begin_, wanted);
  if (!window) {
    source_ = Source::Read;
    buffer_.assign(data_ + begin_, data_ + end_);
    buffer_.resize(std::max(buffer_.size(), blockSize_));
    data_ = buffer_.data();
    KeepUnconsumedOnly();
    return false;
  }
  source_ = Source::Mapped;
  KeepUnconsumedOnly();
  data_ = window->data();
  atEnd_ = window->size() < wanted;
  end_ = window->size();
  searchedTo_ = std::min(searchedTo_, end_);
  if (terminator_ >= end_) terminator_ = kNoTerminator;
  return end_ > kept;  // else the file ends with the bytes in sight
}

// Moves the unconsumed bytes to the front of the buffer and reads another
// block after them. The buffer grows only when a single record is longer
// than it.
bool RecordSplitter::RefillFromFile() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    KeepUnconsumedOnly();
  }
  if (atEnd_) return false;
  // A full buffer always grows: a read of zero bytes would look like the end.
  const std::size_t room = buffer_.size() - end_;
  if (room == 0 || room < blockSize_ / 2) buffer_.resize(buffer_.size() + blockSize_);
  data_ = buffer_.data();
  const std::size_t got = input_.Read(buffer_.data() + end_, buffer_.size() - end_);
  if (got == 0) {
    atEnd_ = true;
    readFailed_ = static_cast<bool>(input_.Error());
    return false;
  }
  end_ += got;
  return true;
}

// Index of the first 0x1D at or after from, or end_. The one found is kept,
// and so is how far the buffer has been searched: in a file of records ended
// by line breaks only there is no 0x1D, and searching to the end of the
// buffer again for every record would take time quadratic in the block size.
std::size_t RecordSplitter::NextRecordTerminator(std::size_t from) {
  if (terminator_ != kNoTerminator && terminator_ >= from) return terminator_;
  const std::size_t start = std::max(from, searchedTo_);
  const char* const end = data_ + end_;
  const char* const found = start < end_ ? byte_search::Find(data_ + start, end, kRecordTerminator) : end;
  if (found == end) {
    terminator_ = kNoTerminator;
    searchedTo_ = end_;
    return end_;
  }
  terminator_ = static_cast<std::size_t>(found - data_);
  searchedTo_ = terminator_ + 1;
  return terminator_;
}

// Index of the first CR or 0x1D at or after from, or end_. Two searches
// over the record are much faster than one test per byte.
std::size_t RecordSplitter::FindRecordEnd(std::size_t from) {
  const std::size_t terminator = NextRecordTerminator(from);
  return static_cast<std::size_t>(byte_search::Find(data_ + from, data_ + terminator, '\r') - data_);
}

void RecordSplitter::SkipAfterRecordTerminator() {
  while (begin_ < end_ && IsGapAfterRecord(data_[begin_])) ++begin_;
  skippingAfterTerminator_ = begin_ == end_;
}

// Drops the bytes of a too-long record up to its end. False while no end
// is in sight: the block read is gone and the caller gets a breath.
bool RecordSplitter::SkipTooLongRecord() {
  const std::size_t at = FindRecordEnd(begin_);
  if (at == end_) {
    begin_ = end_;
    return false;
  }
  skippingTooLong_ = false;
  if (data_[at] == kRecordTerminator) {
    begin_ = at + 1;
    skippingAfterTerminator_ = true;
  } else {
    begin_ = at;  // the CR (and its LF) end the record as usual: an empty one
  }
  return true;
}

// The record of `length` bytes at begin_, or TooLong when it is longer than
// the largest accepted; the next record starts at `next`.
RecordSplitter::Result RecordSplitter::Take(std::string_view& record, std::size_t length, std::size_t next,
                                            bool afterTerminator, bool cutShort) {
  const bool tooLong = length > largestRecord_;
  record = tooLong ? std::string_view() : std::string_view(data_ + begin_, length);
  recordOffset_ = bufferOffset_ + begin_;
  cutShort_ = cutShort && !tooLong;
  begin_ = next;
  skippingAfterTerminator_ = afterTerminator;
  return tooLong ? Result::TooLong : Result::Record;
}

// Whether the record at begin_ goes on past the line break at `lineBreak`:
// its leader's first five bytes give its length, and its first 0x1D (none
// lies before the line break) is its last byte. NeedMore when the bytes
// that would tell have not been read yet.
RecordSplitter::Vouched RecordSplitter::LeaderVouchesPast(std::size_t lineBreak, std::size_t& length) {
  constexpr std::size_t kLengthDigits = 5;
  if (lineBreak < begin_ + kLengthDigits) return Vouched::No;  // the line break is among those five bytes
  length = 0;
  for (std::size_t i = begin_; i < begin_ + kLengthDigits; ++i) {
    const unsigned digit = static_cast<unsigned char>(data_[i]) - unsigned{'0'};
    if (digit > 9) return Vouched::No;
    length = length * 10 + digit;
  }
  if (length <= RecordView::kLeaderLength || begin_ + length <= lineBreak + 1) return Vouched::No;
  const std::size_t last = begin_ + length - 1;
  const std::size_t terminator = NextRecordTerminator(lineBreak);
  if (terminator < end_) return terminator == last ? Vouched::Yes : Vouched::No;
  if (last < end_ || atEnd_) return Vouched::No;  // no 0x1D where it should be, or the input ends first
  return Vouched::NeedMore;
}

RecordSplitter::Result RecordSplitter::Next(std::string_view& record) {
  std::size_t scanned = begin_;  // bytes before this hold no record end
  for (;;) {
    if (skippingTooLong_) {
      if (!SkipTooLongRecord()) return Refill() ? Result::Busy : Result::End;
      scanned = begin_;
    }
    if (skippingAfterTerminator_) {
      SkipAfterRecordTerminator();
      scanned = begin_;
      if (skippingAfterTerminator_) {
        if (!Refill()) return Result::End;
        scanned = begin_;
        continue;
      }
    }
    const std::size_t at = FindRecordEnd(scanned);
    if (at < end_ && data_[at] == kRecordTerminator) return Take(record, at + 1 - begin_, at + 1, true, false);
    std::size_t length = 0;
    const Vouched vouched = at < end_ ? LeaderVouchesPast(at, length) : Vouched::No;
    if (vouched == Vouched::Yes) return Take(record, length, begin_ + length, true, false);
    if (vouched == Vouched::No && at < end_ && (at + 1 < end_ || atEnd_)) {  // a CR, and we can see what follows it
      const std::size_t next = at + 1 + (at + 1 < end_ && data_[at + 1] == '\n');
      if (at > begin_) return Take(record, at - begin_, next, false, false);
      begin_ = next;  // an empty line
      scanned = begin_;
      continue;
    }
    if (at == end_ && atEnd_) {  // the last record needs no line break, but should end in 0x1D
      if (begin_ == end_) return Result::End;
      return Take(record, end_ - begin_, end_, false, true);
    }
    // Need more bytes: the record (or the byte after a CR) continues past the
    // buffer. Once it is known to be too long, its bytes are no longer kept.
    if (at - begin_ > largestRecord_) {
      record = {};
      recordOffset_ = bufferOffset_ + begin_;
      cutShort_ = false;
      if (at < end_) {
        begin_ = at;  // the CR (and its LF) end the record as usual
      } else {
        skippingTooLong_ = true;
      }
      return Result::TooLong;
    }
    const std::size_t unscanned = at - begin_;  // offset of the first byte to look at again
    if (!Refill() && readFailed_) return Result::End;
    scanned = begin_ + unscanned;
  }
}
