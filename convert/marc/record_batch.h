#pragma once
// Records copied out of a file into a batch, so that a thread of a pool can
// work on them while the next are read. A batch ends after about a megabyte
// or a few thousand records, or after one record longer than that.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "marc/record_splitter.h"

// One record of a batch.
struct BatchRecord {
  std::size_t begin = 0;  // in the batch's bytes
  std::size_t size = 0;
  std::uint64_t offset = 0;         // of the record in its file
  std::uint64_t consumedAfter = 0;  // bytes of its file read up to the end of it
  bool cutShort = false;            // the input ended inside it
  bool tooLong = false;             // too long to hold: no bytes
};

struct RecordBatch {
  static constexpr std::size_t kBytes = 256u << 10;
  static constexpr std::size_t kRecords = 1024;

  std::string bytes;  // the records' own
  std::vector<BatchRecord> records;

  // Room kept from one batch to the next; a long record's goes with it.
  static constexpr std::size_t kMostKept = 4 * kBytes;

  void Clear() {
    ReleaseLongRoom();
    bytes.reserve(kBytes + (64u << 10));  // a batch ends after the record that fills it
    bytes.clear();
    records.clear();
  }
  // Once its records are done with: a long record's room goes.
  void ReleaseLongRoom() {
    if (bytes.capacity() > kMostKept) std::string().swap(bytes);
  }
  bool Full() const { return FullAt(bytes.size(), records.size()); }
  // Whether a batch of these bytes and records is full: for a reader that
  // counts where batches would end without copying records into one.
  static bool FullAt(std::size_t size, std::size_t count) { return size >= kBytes || count >= kRecords; }
  bool Empty() const { return records.empty(); }
  std::string_view Record(std::size_t i) const {
    return std::string_view(bytes).substr(records[i].begin, records[i].size);
  }

  // Copies records in until the batch is full (the result is then Record),
  // or the splitter has none to give for now (Busy) or any more (End).
  RecordSplitter::Result Fill(RecordSplitter& splitter) {
    std::string_view record;
    while (!Full()) {
      const RecordSplitter::Result result = splitter.Next(record);
      if (result == RecordSplitter::Result::End || result == RecordSplitter::Result::Busy) return result;
      BatchRecord where;
      where.begin = bytes.size();
      where.offset = splitter.RecordOffset();
      where.consumedAfter = splitter.BytesConsumed();
      where.cutShort = splitter.CutShort();
      where.tooLong = result == RecordSplitter::Result::TooLong;
      if (!where.tooLong) {
        where.size = record.size();
        // A long record gets room of its own size, not twice what it needs.
        if (record.size() > bytes.capacity() - bytes.size()) {
          bytes.reserve(std::max(bytes.size() + record.size(), 2 * bytes.capacity()));
        }
        bytes.append(record);
      }
      records.push_back(where);
    }
    return RecordSplitter::Result::Record;
  }
  // As Fill; but when reading breaks off (an exception), the batch ends with
  // the records before it, and the exception is kept in `broke`, to be
  // thrown once they are done with.
  RecordSplitter::Result FillUntilBroken(RecordSplitter& splitter, std::exception_ptr& broke) {
    try {
      return Fill(splitter);
    } catch (...) {
      broke = std::current_exception();
      return RecordSplitter::Result::End;
    }
  }
};
