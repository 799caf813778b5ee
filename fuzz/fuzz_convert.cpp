// libFuzzer target over the reading of record files: the record splitter (fed
// through small blocks and short reads), the record view and the extraction of
// a set of field codes.
//
// Input: two control bytes (block size, read size), then the file's bytes.
// Besides the sanitizers' own checks it aborts when
//  - the records differ from those of a split in one big block,
//  - a record is not the input's bytes at its reported offset,
//  - a value holds a field terminator, or lies outside its record,
//  - GetFieldValue and FieldExtractor disagree.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "field_code.h"
#include "field_extractor.h"
#include "file_system.h"
#include "record_splitter.h"
#include "record_view.h"

namespace {

// An input file over memory that hands out at most chunk bytes per read.
class MemoryInput : public InputFile {
 public:
  MemoryInput(std::string_view bytes, std::size_t chunk) : bytes_(bytes), chunk_(chunk) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, bytes_.size()});
    if (n > 0) std::memcpy(buffer, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return n;
  }
  bool Failed() const override { return false; }
  int ErrorNumber() const override { return 0; }

 private:
  std::string_view bytes_;
  std::size_t chunk_;
};

// UTF-8 items as a user types them; "200中" has a two-byte GBK subfield code.
const char* const kItems[] = {"000?", "001a", "005x", "010a", "010d", "200a", "200f", "330a",
                              "606x", "2009", "200中", "00a",  "200",  "",     "中文字段"};

const std::vector<FieldCode>& Codes() {
  static const std::vector<FieldCode> codes = [] {
    std::vector<FieldCode> prepared;
    for (const char* item : kItems) prepared.push_back(ParseFieldCode(item));
    return prepared;
  }();
  return codes;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Piece {
  std::string bytes;
  std::uint64_t offset;
};

std::vector<Piece> SplitAll(std::string_view file, std::size_t blockSize, std::size_t chunk) {
  MemoryInput input(file, chunk);
  RecordSplitter splitter(input, blockSize);
  std::vector<Piece> pieces;
  std::string_view record;
  while (splitter.Next(record)) {
    Check(!record.empty());
    Check(splitter.RecordOffset() + record.size() <= file.size());
    Check(file.substr(splitter.RecordOffset(), record.size()) == record);
    pieces.push_back({std::string(record), splitter.RecordOffset()});
  }
  Check(!splitter.ReadFailed());
  return pieces;
}

// GetFieldValue prepares its code (a GBK conversion) on every call, which is
// slow; comparing it on the first records of an input is enough.
constexpr std::size_t kRecordsComparedWithGetFieldValue = 2;

void ExtractAll(std::string_view record, bool compareWithGetFieldValue) {
  RecordView view;
  view.Build(record);
  static FieldExtractor extractor(Codes());  // all columns at once, as a run reads them
  extractor.Read(view);
  for (std::size_t i = 0; i < Codes().size(); ++i) {
    std::string_view value;
    const bool ok = extractor.Value(i, value);
    if (ok) {
      Check(value.find(kFieldTerminator) == std::string_view::npos);
      Check(value.size() <= record.size() || Codes()[i].kind == FieldCode::Kind::RecordType);
    }
    if (!compareWithGetFieldValue) continue;
    // One column alone must give what it gives among the others.
    const std::optional<std::string> single = GetFieldValue(record, kItems[i]);
    Check(single.has_value() == ok);
    if (single) Check(*single == value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t blockSize = 1 + data[0] % 64;
  const std::size_t chunk = 1 + data[1] % 16;
  const std::string_view file(reinterpret_cast<const char*>(data) + 2, size - 2);

  const std::vector<Piece> small = SplitAll(file, blockSize, chunk);
  const std::vector<Piece> big = SplitAll(file, 1 << 16, 1 << 16);
  Check(small.size() == big.size());
  for (std::size_t i = 0; i < small.size(); ++i) {
    Check(small[i].bytes == big[i].bytes && small[i].offset == big[i].offset);
    ExtractAll(small[i].bytes, i < kRecordsComparedWithGetFieldValue);
  }
  return 0;
}
