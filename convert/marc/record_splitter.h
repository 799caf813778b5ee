#pragma once
// Splits a stream of bytes into records. A record ends at CR LF, at a CR on
// its own, or just after the record terminator 0x1D (which stays its last
// byte). CR, LF, blank and NUL bytes right after a 0x1D (line breaks, block
// padding) belong to no record; a lone LF elsewhere stays inside its record;
// empty records are skipped. Files written with or without line breaks
// between records therefore split alike.
//
// A line break inside a record's data (an abstract typed in several lines)
// does not end the record when its leader vouches for it: the first five
// bytes give the record's length, and the record's first 0x1D is exactly its
// last byte. Records whose length is wrong split at line breaks as above.
//
// A record of up to the largest size accepted is given however it ends (0x1D,
// which counts as one of its bytes, CR LF, a lone CR, or the end of the
// input). A longer one is not held in memory: it is reported as too long,
// and the bytes up to the next record end are skipped a block at a time, so
// that even an endless input runs in flat memory.
//
// Given a window size, a file the system can map is not copied: the
// splitter looks at a window of it at a time, and a record lies whole in the
// window it is given from.
// When the bytes in sight run out, the next window starts where the record
// in progress begins (it grows, as the block does, only while one record is
// longer than it). Other inputs are read a block at a time into a buffer of
// the splitter's own.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class InputFile;

// ISO 2709 allows 99,999 bytes; real files hold longer records now and then.
constexpr std::size_t kLargestRecord = 16u << 20;
// The window of a mapped file: few enough remappings, and little enough
// address space for a 32-bit program. Runs read blocks instead (kNoMapping):
// on the machine measured, the reads of mapped pages cost more than the
// copy they save (see BENCHMARKS.md).
constexpr std::size_t kMappedWindow = 16u << 20;
constexpr std::size_t kNoMapping = 0;

class RecordSplitter {
 public:
  enum class Result {
    Record,   // the next record
    TooLong,  // a record longer than the largest accepted; no bytes given
    Busy,     // no record yet: a too-long record is being skipped; call again
    End,      // the end of the input, or a read error (see ReadFailed)
  };

  explicit RecordSplitter(InputFile& input, std::size_t blockSize = 1 << 20, std::size_t largestRecord = kLargestRecord,
                          std::size_t windowSize = kNoMapping);

  // The view of a record stays valid until the next call.
  Result Next(std::string_view& record);

  // Byte offset in the input of the last record's first byte.
  std::uint64_t RecordOffset() const { return recordOffset_; }
  // Whether the last record was cut short: the input ended inside it,
  // before a record terminator or a line break.
  bool CutShort() const { return cutShort_; }
  // Input bytes consumed so far.
  std::uint64_t BytesConsumed() const { return bufferOffset_ + begin_; }
  bool ReadFailed() const { return readFailed_; }

 private:
  bool Refill();
  bool RefillFromFile();
  bool MoveWindow();
  void KeepUnconsumedOnly();
  void SkipAfterRecordTerminator();
  bool SkipTooLongRecord();
  std::size_t NextRecordTerminator(std::size_t from);
  std::size_t FindRecordEnd(std::size_t from);
  Result Take(std::string_view& record, std::size_t length, std::size_t next, bool afterTerminator, bool cutShort);
  enum class Vouched { Yes, No, NeedMore };
  Vouched LeaderVouchesPast(std::size_t lineBreak, std::size_t& length);

  static constexpr std::size_t kNoTerminator = static_cast<std::size_t>(-1);

  InputFile& input_;
  std::vector<char> buffer_;  // the blocks read, when the input is not mapped
  std::size_t blockSize_;
  std::size_t largestRecord_;
  std::size_t windowSize_;
  enum class Source { Unknown, Mapped, Read } source_;
  const char* data_ = nullptr;      // the window or buffer_
  std::size_t begin_ = 0;           // first unconsumed byte in data_
  std::size_t end_ = 0;             // one past the last valid byte in data_
  std::uint64_t bufferOffset_ = 0;  // file offset of data_[0]
  std::uint64_t recordOffset_ = 0;
  bool atEnd_ = false;
  bool readFailed_ = false;
  bool cutShort_ = false;
  bool skippingAfterTerminator_ = false;
  bool skippingTooLong_ = false;
  std::size_t terminator_ = kNoTerminator;  // a 0x1D found in data_ and not yet passed
  std::size_t searchedTo_ = 0;              // no other 0x1D before this index
};
