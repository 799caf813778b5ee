#include "xlsx/entry_deflater.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <new>

#include "work/work_pool.h"
#include "xlsx/zip_writer.h"

namespace {
// Large enough that the sync flush and the dictionary at each chunk's start
// cost little, small enough to stay in the processor's cache.
constexpr std::size_t kChunkSize = 256 * 1024;
// What deflate can look back on: the end of the chunk before.
constexpr std::size_t kDictionarySize = 32 * 1024;
// ZIP stores raw deflate data: negative window bits leave out zlib's header.
constexpr int kRawDeflateWindowBits = -15;
constexpr int kMemoryLevel = 8;
// Chunks in flight per thread: one being deflated while the next waits.
constexpr std::size_t kChunksPerThread = 2;
constexpr std::size_t kMostChunks = 17;
}  // namespace

struct EntryDeflater::Chunk {
  explicit Chunk(int level) : input(kChunkSize), dictionary(kDictionarySize) {
    if (deflateInit2(&zlib, level, Z_DEFLATED, kRawDeflateWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw std::bad_alloc();
    }
  }
  ~Chunk() { deflateEnd(&zlib); }
  Chunk(const Chunk&) = delete;
  Chunk& operator=(const Chunk&) = delete;

  // The job: this chunk's CRC and deflated bytes. It touches nothing else,
  // so chunks may be deflated at the same time on different threads.
  void Deflate() {
    crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(input.data()), static_cast<uInt>(filled)));
    deflateReset(&zlib);
    if (dictionarySize > 0 && deflateSetDictionary(&zlib, reinterpret_cast<const Bytef*>(dictionary.data()),
                                                   static_cast<uInt>(dictionarySize)) != Z_OK) {
      failed = true;
      return;
    }
    output.resize(std::max<std::size_t>(output.size(), deflateBound(&zlib, static_cast<uLong>(filled)) + 16));
    zlib.next_in = reinterpret_cast<Bytef*>(input.data());
    zlib.avail_in = static_cast<uInt>(filled);
    outputSize = 0;
    for (;;) {
      zlib.next_out = reinterpret_cast<Bytef*>(output.data() + outputSize);
      zlib.avail_out = static_cast<uInt>(output.size() - outputSize);
      const int result = deflate(&zlib, last ? Z_FINISH : Z_SYNC_FLUSH);
      if (result == Z_STREAM_ERROR) {
        failed = true;
        return;
      }
      outputSize = output.size() - zlib.avail_out;
      if (last ? result == Z_STREAM_END : zlib.avail_out != 0) return;
      output.resize(output.size() * 2);
    }
  }

  z_stream zlib{};
  std::vector<char> input;
  std::size_t filled = 0;
  std::vector<char> dictionary;
  std::size_t dictionarySize = 0;
  bool last = false;
  std::vector<char> output;
  std::size_t outputSize = 0;
  std::uint32_t crc = 0;
  bool failed = false;  // zlib refused the data
  std::future<void> done;
};

EntryDeflater::EntryDeflater(ByteSink& sink, int level, WorkPool* pool)
    : sink_(sink), pool_(pool != nullptr && pool->Threads() > 0 ? pool : nullptr) {
  const std::size_t count = pool_ == nullptr ? 1 : std::min(kMostChunks, kChunksPerThread * pool_->Threads() + 1);
  for (std::size_t i = 0; i < count; ++i) chunks_.push_back(std::make_unique<Chunk>(std::clamp(level, 1, 9)));
}

EntryDeflater::~EntryDeflater() {
  for (const std::unique_ptr<Chunk>& chunk : chunks_) {
    if (chunk->done.valid()) chunk->done.wait();
  }
}

bool EntryDeflater::WriteStored(const std::string& bytes) {
  if (failed_) return false;
  if (!sink_.Write(bytes.data(), bytes.size())) failed_ = true;
  return !failed_;
}

void EntryDeflater::Begin() {
  Filling().filled = 0;
  Filling().dictionarySize = 0;
  sums_ = Sums();
}

bool EntryDeflater::Write(std::string_view bytes) {
  while (!bytes.empty() && !failed_) {
    Chunk& chunk = Filling();
    const std::size_t n = std::min(bytes.size(), kChunkSize - chunk.filled);
    std::memcpy(chunk.input.data() + chunk.filled, bytes.data(), n);
    chunk.filled += n;
    bytes.remove_prefix(n);
    if (chunk.filled == kChunkSize) Hand(false);
  }
  return !failed_;
}

bool EntryDeflater::End(Sums& sums) {
  Hand(true);
  WaitForAll();
  sums = sums_;
  return !failed_;
}

// Starts deflating the filled chunk, and makes the next one in the ring the
// one to fill: the chunk it held is written out first, in order.
void EntryDeflater::Hand(bool last) {
  Chunk& handed = Filling();
  handed.last = last;
  if (pool_ == nullptr) {
    handed.Deflate();
  } else {
    handed.done = pool_->Run([&handed] { handed.Deflate(); });
  }
  if (last) return;
  filling_ = (filling_ + 1) % chunks_.size();
  Chunk& next = Filling();
  if (pool_ == nullptr || next.done.valid()) WriteOut(next);
  const std::size_t kept = std::min(handed.filled, kDictionarySize);
  std::memcpy(next.dictionary.data(), handed.input.data() + handed.filled - kept, kept);
  next.dictionarySize = kept;
  next.filled = 0;
}

// Waits for the chunk's job and writes its bytes; it is the oldest in flight.
void EntryDeflater::WriteOut(Chunk& chunk) {
  if (chunk.done.valid()) chunk.done.get();
  if (chunk.failed) failed_ = true;
  if (failed_) return;
  if (!sink_.Write(chunk.output.data(), chunk.outputSize)) {
    failed_ = true;
    return;
  }
  sums_.crc = static_cast<std::uint32_t>(crc32_combine(sums_.crc, chunk.crc, static_cast<z_off_t>(chunk.filled)));
  sums_.size += chunk.filled;
  sums_.compressedSize += chunk.outputSize;
}

// Writes out every chunk in flight, oldest first: the one after the last
// handed, round to the last handed itself. Every chunk is then free, and the
// next entry begins in the last one handed.
void EntryDeflater::WaitForAll() {
  for (std::size_t i = 1; i <= chunks_.size(); ++i) {
    Chunk& chunk = *chunks_[(filling_ + i) % chunks_.size()];
    if (pool_ == nullptr ? i == chunks_.size() : chunk.done.valid()) WriteOut(chunk);
  }
}
