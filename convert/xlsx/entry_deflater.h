#pragma once
// Deflates the data of one ZIP entry after another into a sink (raw deflate,
// no zlib header) and sums up its CRC-32 and sizes. The data is cut into
// chunks of a fixed size, and each chunk is deflated on its own, as a job of
// a pool when one is given: it starts from the last 32 KiB of the chunk
// before as its dictionary, and ends in a sync flush (the last in the end of
// the stream), so that the chunks joined in order make one deflate stream.
// Where a chunk ends depends only on the bytes, never on the timing, so the
// same data gives the same bytes whatever the number of threads.
// Memory is a few chunks per thread, with zlib's state for each.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ByteSink;
class WorkPool;

class EntryDeflater {
 public:
  struct Sums {
    std::uint32_t crc = 0;
    std::uint64_t size = 0;            // bytes given
    std::uint64_t compressedSize = 0;  // bytes written to the sink
  };

  // Without a pool (or with a pool of no threads) every chunk is deflated on
  // the caller's thread. std::bad_alloc when zlib finds no memory for its
  // state.
  EntryDeflater(ByteSink& sink, int level, WorkPool* pool);
  // Waits for the chunks still being deflated.
  ~EntryDeflater();
  EntryDeflater(const EntryDeflater&) = delete;
  EntryDeflater& operator=(const EntryDeflater&) = delete;

  // Writes bytes as they are, between entries: the headers, descriptors and
  // directory around the deflated data, so that one failure stops them all.
  bool WriteStored(const std::string& bytes);

  void Begin();
  // False once the sink has failed (a failure shows a few chunks later, and
  // at the latest in End).
  bool Write(std::string_view bytes);
  // Deflates what is left, writes every chunk and gives the entry's sums;
  // false when the sink failed. An exception thrown while deflating a chunk
  // on the pool is thrown again here, or in the Write that waits for it.
  bool End(Sums& sums);
  bool Failed() const { return failed_; }

 private:
  struct Chunk;

  Chunk& Filling() { return *chunks_[filling_]; }
  void Hand(bool last);
  void WriteOut(Chunk& chunk);
  void WaitForAll();

  ByteSink& sink_;
  WorkPool* pool_;
  std::vector<std::unique_ptr<Chunk>> chunks_;  // a ring: the oldest in flight follows the one filled
  std::size_t filling_ = 0;
  Sums sums_;
  bool failed_ = false;
};
