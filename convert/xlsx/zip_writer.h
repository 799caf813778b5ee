#pragma once
// A small ZIP writer for the workbooks: entries are deflated as they are
// written, with their sizes and CRC-32 in a data descriptor after the data, so
// that no entry is ever held whole in memory. Entries and files past 4 GiB get
// their ZIP64 records. Every entry carries the same fixed date, and zlib is fed
// in fixed-size chunks whatever the timing and the threads, so the same entries give the same
// bytes on every machine and in every build.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where the bytes of a ZIP file go, in order.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all bytes or returns false.
  virtual bool Write(const char* data, std::size_t size) = 0;
};

class WorkPool;

struct ZipOptions {
  int level = 1;  // zlib's compression level, 1 (fastest) to 9
  // Deflate the chunks of an entry on the threads of a pool while the caller
  // makes the next ones: `pool`, or the program's shared one (a thread per
  // core) when it is null. The bytes are the same either way.
  bool compressInBackground = true;
  WorkPool* pool = nullptr;
  // Sizes and offsets from this value on are written in their ZIP64 form. Only
  // tests lower it, to take that path without writing 4 GiB.
  std::uint64_t zip64From = 0xFFFFFFFF;
};

class EntryDeflater;

class ZipWriter {
 public:
  explicit ZipWriter(ByteSink& sink, ZipOptions options = {});
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Each returns false once the sink has failed; nothing is written after that.
  // An entry begun is ended before the next one begins and before Finish.
  bool BeginEntry(std::string name);
  bool Write(std::string_view bytes);
  bool EndEntry();
  // Writes the central directory and the end records.
  bool Finish();

  bool Failed() const;

 private:
  struct Entry {
    std::string name;
    std::uint64_t offset = 0;  // of its local header
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
  };

  bool Put(const std::string& bytes);
  bool EntryNeedsZip64(const Entry& entry) const;
  std::string CentralHeader(const Entry& entry) const;
  std::string EndRecords(std::uint64_t directoryOffset, std::uint64_t directorySize) const;

  ZipOptions options_;
  std::unique_ptr<EntryDeflater> deflater_;
  std::vector<Entry> entries_;
  std::uint64_t offset_ = 0;  // bytes written to the sink so far
  bool inEntry_ = false;
};
