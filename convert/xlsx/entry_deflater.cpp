#include "xlsx/entry_deflater.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "xlsx/zip_writer.h"

namespace {
// Large enough that handing chunks between threads costs nothing measurable,
// small enough to stay in the processor's cache.
constexpr std::size_t kChunkSize = 256 * 1024;
constexpr std::size_t kOutputSize = 256 * 1024;
// ZIP stores raw deflate data: negative window bits leave out zlib's header.
constexpr int kRawDeflateWindowBits = -15;
constexpr int kMemoryLevel = 8;
}  // namespace

struct EntryDeflater::Stream {
  explicit Stream(int level) {
    if (deflateInit2(&zlib, level, Z_DEFLATED, kRawDeflateWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw std::bad_alloc();
    }
  }
  ~Stream() { deflateEnd(&zlib); }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  z_stream zlib{};
};

EntryDeflater::EntryDeflater(ByteSink& sink, int level, bool background)
    : sink_(sink),
      stream_(std::make_unique<Stream>(std::clamp(level, 1, 9))),
      filling_(kChunkSize),
      output_(kOutputSize) {
  if (background) {
    handed_.resize(kChunkSize);
    worker_ = std::thread([this] { Work(); });
  }
}

EntryDeflater::~EntryDeflater() {
  if (!worker_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

bool EntryDeflater::WriteStored(const std::string& bytes) {
  if (failed_) return false;
  if (!sink_.Write(bytes.data(), bytes.size())) failed_ = true;
  return !failed_;
}

void EntryDeflater::Begin() {
  deflateReset(&stream_->zlib);
  filled_ = 0;
  outputUsed_ = 0;
  sums_ = Sums();
}

bool EntryDeflater::Write(std::string_view bytes) {
  while (!bytes.empty() && !failed_) {
    const std::size_t n = std::min(bytes.size(), kChunkSize - filled_);
    std::memcpy(filling_.data() + filled_, bytes.data(), n);
    filled_ += n;
    bytes.remove_prefix(n);
    if (filled_ == kChunkSize) Hand(false);
  }
  return !failed_;
}

bool EntryDeflater::End(Sums& sums) {
  Hand(true);
  WaitUntilIdle();
  if (thrown_) std::rethrow_exception(std::exchange(thrown_, nullptr));
  sums = sums_;
  return !failed_;
}

// Passes the filled chunk to zlib, or to the second thread once it has
// finished the one before.
void EntryDeflater::Hand(bool last) {
  // The CRC on the caller's thread: deflate is the slower half, so the second
  // thread does nothing else. A chunk is at most kChunkSize bytes, which
  // zlib's 32-bit count holds.
  sums_.crc = static_cast<std::uint32_t>(
      crc32(sums_.crc, reinterpret_cast<const Bytef*>(filling_.data()), static_cast<uInt>(filled_)));
  sums_.size += filled_;
  if (!worker_.joinable()) {
    Deflate(filling_.data(), filled_, last);
    filled_ = 0;
    return;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  if (thrown_) std::rethrow_exception(std::exchange(thrown_, nullptr));
  filling_.swap(handed_);
  handedSize_ = filled_;
  handedLast_ = last;
  busy_ = true;
  filled_ = 0;
  lock.unlock();
  changed_.notify_all();
}

void EntryDeflater::WaitUntilIdle() {
  if (!worker_.joinable()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
}

void EntryDeflater::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stop_; });
    if (!busy_) return;
    lock.unlock();
    try {
      Deflate(handed_.data(), handedSize_, handedLast_);
    } catch (...) {
      failed_ = true;
      lock.lock();
      thrown_ = std::current_exception();
      lock.unlock();
    }
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

void EntryDeflater::Deflate(const char* data, std::size_t size, bool last) {
  if (failed_) return;
  z_stream& zlib = stream_->zlib;
  zlib.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  zlib.avail_in = static_cast<uInt>(size);
  for (;;) {
    zlib.next_out = reinterpret_cast<Bytef*>(output_.data() + outputUsed_);
    zlib.avail_out = static_cast<uInt>(output_.size() - outputUsed_);
    const int result = deflate(&zlib, last ? Z_FINISH : Z_NO_FLUSH);
    if (result == Z_STREAM_ERROR) {
      failed_ = true;
      return;
    }
    outputUsed_ = output_.size() - zlib.avail_out;
    if (outputUsed_ == output_.size()) FlushOutput();
    if (last ? result == Z_STREAM_END : zlib.avail_in == 0) break;
    if (failed_) return;
  }
  if (last) FlushOutput();
}

void EntryDeflater::FlushOutput() {
  if (outputUsed_ == 0 || failed_) return;
  if (!sink_.Write(output_.data(), outputUsed_)) failed_ = true;
  sums_.compressedSize += outputUsed_;
  outputUsed_ = 0;
}
