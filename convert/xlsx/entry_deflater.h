#pragma once
// Deflates the data of one ZIP entry after another into a sink (raw deflate,
// no zlib header) and sums up its CRC-32 and sizes. The data is gathered into
// chunks of a fixed size and zlib gets one whole chunk at a time, on a second
// thread when asked: the chunks are the same either way, and so are the bytes.
// Memory is the two chunks, zlib's window and one output buffer, whatever the
// size of an entry.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class ByteSink;

class EntryDeflater {
 public:
  struct Sums {
    std::uint32_t crc = 0;
    std::uint64_t size = 0;            // bytes given
    std::uint64_t compressedSize = 0;  // bytes written to the sink
  };

  // std::bad_alloc when zlib finds no memory for its state.
  EntryDeflater(ByteSink& sink, int level, bool background);
  ~EntryDeflater();
  EntryDeflater(const EntryDeflater&) = delete;
  EntryDeflater& operator=(const EntryDeflater&) = delete;

  // Writes bytes as they are, between entries: the headers, descriptors and
  // directory around the deflated data, so that one failure stops them all.
  bool WriteStored(const std::string& bytes);

  void Begin();
  // False once the sink has failed (a failure on the second thread shows a
  // chunk or so later, and at the latest in End).
  bool Write(std::string_view bytes);
  // Deflates what is left, waits for the second thread and gives the entry's
  // sums; false when the sink failed. An exception thrown on the second thread
  // (by the sink) is thrown again here.
  bool End(Sums& sums);
  bool Failed() const { return failed_; }

 private:
  struct Stream;

  void Hand(bool last);
  void WaitUntilIdle();
  void Work();
  void Deflate(const char* data, std::size_t size, bool last);
  void FlushOutput();

  ByteSink& sink_;
  std::unique_ptr<Stream> stream_;
  std::vector<char> filling_;  // the chunk the caller fills
  std::size_t filled_ = 0;
  std::vector<char> output_;
  std::size_t outputUsed_ = 0;
  Sums sums_;  // the CRC and size are the caller's thread's, the compressed size the deflating one's
  std::atomic<bool> failed_{false};

  // The hand-over to the second thread: one chunk at a time.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<char> handed_;
  std::size_t handedSize_ = 0;
  bool handedLast_ = false;
  bool busy_ = false;  // a chunk is handed over and not yet deflated
  bool stop_ = false;
  std::exception_ptr thrown_;
  std::thread worker_;
};
