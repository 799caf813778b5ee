// libFuzzer target over a whole conversion run from bytes in memory: the
// record splitter (fed through small blocks and short reads), the record
// view, the extraction of a field list that the input chooses (one to
// thousands of codes, duplicates, joined codes, control fields, "000?"), and
// the writing of the lines.
//
// Input: six control bytes, then the file's bytes.
//   0: block size   1: read size   2-3: number of codes   4: which codes
//   5: its low six bits, how many times the file's bytes are repeated (large
//      records, long directories, many records from a short input); its top
//      two, the threads the rows are made on (1, 3, 5 or 7)
// Besides the sanitizers' own checks (and the memory limits the fuzzer runs
// with) it aborts when
//  - the records differ from those of a split in one big block,
//  - a record is not the input's bytes at its reported offset,
//  - a value holds a field terminator or the record terminator,
//  - a column read among all the others differs from the column read alone,
//  - the output does not hold one line per record, each with one tab per column,
//  - the output or the counts differ from those of a run on one thread,
//  - the census differs from a census on one thread,
//  - the census of the same bytes counts other records than the run, a row
//    with more records than the file or occurrences than records, a sample
//    that is not one line of at most 60 characters of UTF-8, or an item the
//    field list would not read as a code.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "census/census.h"
#include "conversion.h"
#include "field_value.h"
#include "file_system.h"
#include "marc/field_extractor.h"
#include "marc/field_list.h"
#include "marc/record_splitter.h"
#include "marc/record_view.h"
#include "text/text_encoding.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

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
  FileError Error() const override { return {}; }
  std::uint64_t Size() const override { return bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t chunk_;
};

class MemoryOutput : public OutputFile {
 public:
  explicit MemoryOutput(std::string& bytes) : bytes_(bytes) {}
  bool Created() const override { return true; }
  std::uint64_t SizeBefore() const override { return 0; }
  std::optional<std::string> FirstBytes() const override { return std::string(); }
  std::optional<std::string> LastBytes() const override { return std::string(); }
  bool Write(const char* data, std::size_t size) override { return bytes_.append(data, size), true; }
  bool Truncate(std::uint64_t size) override { return bytes_.resize(size), true; }
  bool Close() override { return true; }
  void Discard() override { bytes_.clear(); }
  FileError Error() const override { return {}; }

 private:
  std::string& bytes_;
};

class MemoryFiles : public FileSystem {
 public:
  MemoryFiles(std::string_view input, std::size_t chunk) : input_(input), chunk_(chunk) {}
  bool Exists(const std::string& path) override { return path == "in"; }
  std::uint64_t SizeOf(const std::string&) override { return input_.size(); }
  bool IsSameFile(const std::string&, const std::string&) override { return false; }
  std::unique_ptr<InputFile> OpenForReading(const std::string&, FileError&) override {
    return std::make_unique<MemoryInput>(input_, chunk_);
  }
  std::unique_ptr<OutputFile> OpenOutput(const std::string&, OutputMode, FileError&) override {
    return std::make_unique<MemoryOutput>(output);
  }
  std::unique_ptr<OutputFile> OpenReplacement(const std::string&, bool, FileError&) override {
    return std::make_unique<MemoryOutput>(output);
  }
  bool Remove(const std::string&, FileError&) override { return true; }
  std::string output;

 private:
  std::string_view input_;
  std::size_t chunk_;
};

// Items as a user types them; "200中" has a two-byte GBK subfield code.
const char* const kItems[] = {"000?",  "001a",  "005x",  "010a",     "010d",      "200a",    "200f",     "330a",
                              "606x",  "2009",  "200中", "00a",      "200",       "",        "中文字段", "701a*",
                              "606x*", "001a*", "100a",  "200a*",    "ABCa",      ":00a",    "0010",     "000?*",
                              "000#",  "606*",  "001",   "200a/1-3", "100a/9-12", "606x*/0", "005/0-7",  " 200A"};
constexpr std::size_t kItemCount = sizeof kItems / sizeof kItems[0];

std::string FieldList(std::size_t count, unsigned seed) {
  std::string list;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) list += ',';
    list += kItems[(seed + i * 7 + i * i) % kItemCount];
  }
  return list;
}

struct Piece {
  std::string bytes;
  std::uint64_t offset;
  RecordSplitter::Result result;
};

std::vector<Piece> SplitAll(std::string_view file, std::size_t blockSize, std::size_t chunk) {
  MemoryInput input(file, chunk);
  RecordSplitter splitter(input, blockSize, 1 << 16);
  std::vector<Piece> pieces;
  std::string_view record;
  for (RecordSplitter::Result result; (result = splitter.Next(record)) != RecordSplitter::Result::End;) {
    if (result == RecordSplitter::Result::Busy) continue;
    Check(splitter.RecordOffset() + record.size() <= file.size());
    Check(file.substr(splitter.RecordOffset(), record.size()) == record);
    pieces.push_back({std::string(record), splitter.RecordOffset(), result});
  }
  return pieces;
}

// Every column read with all the others must give what it gives alone (on
// the first records only: a code read alone is prepared again each time).
void ExtractAll(std::string_view record, const std::vector<std::string>& items, bool compareAlone) {
  static const RecordTypeNames names(TextEncoding::Gbk);
  std::vector<FieldCode> codes;
  for (const std::string& item : items) codes.push_back(ParseFieldCode(item));
  FieldExtractor extractor(codes, names);
  RecordView view;
  view.Build(record);
  extractor.Read(view);
  for (std::size_t i = 0; i < items.size() && i < 64; ++i) {
    std::string together;
    std::string_view value;
    bool ok = true;
    if (extractor.IsJoined(i)) {
      for (std::string_view occurrence : extractor.Occurrences(i))
        together += (together.empty() ? "" : "; ") + std::string(occurrence);
    } else {
      ok = extractor.Value(i, value);
      together = std::string(value);
    }
    Check(together.find(kFieldTerminator) == std::string::npos);
    Check(together.find(kRecordTerminator) == std::string::npos);
    if (!compareAlone || extractor.FieldsOverlap()) continue;
    const std::optional<std::string> alone = GetFieldValue(record, items[i]);
    Check(alone.has_value() == ok);
    if (alone) Check(*alone == together);
  }
}

bool IsOneLineOfUtf8(std::string_view text, std::size_t maxCharacters) {
  std::size_t characters = 0;
  for (std::size_t at = 0; at < text.size(); ++characters) {
    const std::size_t length = Utf8SequenceAt(text, at);
    if (length == 0 || static_cast<unsigned char>(text[at]) < 0x20) return false;
    at += length;
  }
  return characters <= maxCharacters;
}

bool SameRow(const CensusEntry& a, const CensusEntry& b) {
  return a.kind == b.kind && a.item == b.item && a.tag == b.tag && a.subfield == b.subfield && a.records == b.records &&
         a.occurrences == b.occurrences && a.sample == b.sample && a.joinedSample == b.joinedSample;
}

void CheckCensus(const Census& census, const Census& one, const RunSummary& summary) {
  Check(census.outcome == one.outcome && census.records == one.records && census.malformed == one.malformed &&
        census.partlyRead == one.partlyRead && census.failure.kind == one.failure.kind);
  Check(std::equal(census.entries.begin(), census.entries.end(), one.entries.begin(), one.entries.end(), SameRow));
  Check(census.outcome == Census::Outcome::Completed);
  Check(census.records == summary.records && census.malformed <= summary.malformed);
  for (const CensusEntry& entry : census.entries) {
    Check(entry.records > 0 && entry.records <= entry.occurrences);
    Check(entry.records <= census.records - census.malformed);
    Check(IsOneLineOfUtf8(entry.sample, 60));
    if (entry.item.empty()) continue;
    const FieldCode code = ParseFieldCode(entry.item);
    Check(code.kind != FieldCode::Kind::AlwaysEmpty && !code.joined);
    Check((code.kind == FieldCode::Kind::RecordType) == (entry.kind == CensusEntry::Kind::RecordType));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  const std::size_t blockSize = 1 + data[0] % 64;
  const std::size_t chunk = 1 + data[1] % 16;
  const std::size_t codeCount = 1 + (data[2] | (data[3] << 8)) % 4096;
  const std::string fields = FieldList(codeCount, data[4]);
  std::string file;
  for (int i = 0; i <= data[5] % 64; ++i) file.append(reinterpret_cast<const char*>(data) + 6, size - 6);

  const std::vector<Piece> small = SplitAll(file, blockSize, chunk);
  const std::vector<Piece> big = SplitAll(file, 1 << 16, 1 << 16);
  Check(small.size() == big.size());
  const std::vector<std::string> items = ParseFieldList(fields);
  for (std::size_t i = 0; i < small.size(); ++i) {
    Check(small[i].bytes == big[i].bytes && small[i].offset == big[i].offset && small[i].result == big[i].result);
    if (i < 2) ExtractAll(small[i].bytes, items, items.size() <= 64);
  }

  MemoryFiles files(file, chunk);
  ConversionRequest request;
  request.inputPaths = {"in"};
  request.outputPath = "out";
  request.items = items;
  request.threads = 1;
  const RunSummary one = Convert(request, files);
  const std::string oneOutput = files.output;
  files.output.clear();
  request.threads = 1 + 2 * (data[5] >> 6);
  const RunSummary summary = Convert(request, files);
  Check(summary.outcome == RunSummary::Outcome::Completed && one.outcome == summary.outcome);
  Check(files.output == oneOutput && one.records == summary.records && one.malformed == summary.malformed);
  Check(one.emptyColumns == summary.emptyColumns && one.emptyColumnHints == summary.emptyColumnHints);
  std::size_t lines = 0;
  for (std::size_t at = 0; (at = files.output.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  Check(lines == static_cast<std::size_t>(summary.records) + 1);
  const auto tabs = static_cast<std::size_t>(std::count(files.output.begin(), files.output.end(), '\t'));
  Check(tabs == lines * items.size());
  CheckCensus(TakeCensus(files, "in", nullptr, request.threads), TakeCensus(files, "in", nullptr, 1), summary);
  return 0;
}
