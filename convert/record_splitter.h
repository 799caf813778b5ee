#pragma once
// Splits a stream of bytes into records. A record ends at CR LF, at a CR on
// its own, or just after the record terminator 0x1D (which stays its last
// byte). CR, LF, blank and NUL bytes right after a 0x1D (line breaks, block
// padding) belong to no record; a lone LF elsewhere stays inside its record;
// empty records are skipped. Files written with or without line breaks
// between records therefore split alike.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class InputFile;

class RecordSplitter {
 public:
  explicit RecordSplitter(InputFile& input, std::size_t blockSize = 1 << 20);

  // The next record, or false at the end of the input (or on a read error:
  // see ReadFailed). The view stays valid until the next call.
  bool Next(std::string_view& record);

  // Byte offset of the last record's first byte in the input.
  std::uint64_t RecordOffset() const { return recordOffset_; }
  // Input bytes consumed so far.
  std::uint64_t BytesConsumed() const { return bufferOffset_ + begin_; }
  bool ReadFailed() const { return readFailed_; }

 private:
  bool Refill();
  void SkipAfterRecordTerminator();
  std::size_t NextRecordTerminator(std::size_t from);
  std::size_t FindRecordEnd(std::size_t from);

  static constexpr std::size_t kNoTerminator = static_cast<std::size_t>(-1);

  InputFile& input_;
  std::vector<char> buffer_;
  std::size_t blockSize_;
  std::size_t begin_ = 0;  // first unconsumed byte in buffer_
  std::size_t end_ = 0;    // one past the last valid byte in buffer_
  std::uint64_t bufferOffset_ = 0;  // file offset of buffer_[0]
  std::uint64_t recordOffset_ = 0;
  bool atEnd_ = false;
  bool readFailed_ = false;
  bool skippingAfterTerminator_ = false;
  std::size_t terminator_ = kNoTerminator;  // a 0x1D found in buffer_ and not yet passed
  std::size_t searchedTo_ = 0;              // no other 0x1D before this index

};
