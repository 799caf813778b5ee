// The preview of a file's first records: its cells are the cells a
// conversion into UTF-8 writes, whatever the items and the records, and it
// keeps and reads no more than its bounds.
#include <gtest/gtest.h>

#include <memory>

#include "conversion.h"
#include "record_builder.h"
#include "record_preview.h"
#include "record_splitter.h"
#include "test_support.h"

namespace {

// Every kind of item: the record type, whole control fields, first and
// every occurrence, codes no record has, an empty item, a typing mistake.
const std::vector<std::string> kItems = {"000?", "001a", "005?",  "010a",  "010d",  "101a", "100a",
                                         "200a", "200f", "200a*", "701a*", "606a*", "690a", "9999",
                                         "",     "200A", "题名",  "2001",  "245a",  "245c*"};
// A tab in it would split cells; both sides take it out.
const std::string kSeparator = " |\t| ";

std::vector<std::string> SplitAt(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  for (std::size_t at = 0;;) {
    const std::size_t end = text.find(separator, at);
    pieces.emplace_back(text.substr(at, end - at));
    if (end == std::string_view::npos) return pieces;
    at = end + separator.size();
  }
}

// The rows a conversion into UTF-8 writes: the mark and the header left
// out, each cell as it stands before its tab.
std::vector<PreviewRow> ConvertedRows(const std::string& input) {
  TempFolder folder;
  ConversionRequest request;
  request.inputPath = input;
  request.outputPath = folder.File("out.txt");
  request.items = kItems;
  request.joinSeparator = kSeparator;
  request.outputEncoding = TextEncoding::Utf8;
  EXPECT_EQ(Convert(request, LocalFileSystem()).outcome, RunSummary::Outcome::Completed) << input;
  const std::string text = ReadBytes(request.outputPath).substr(3);
  std::vector<std::string> lines = SplitAt(text, "\r\n");
  std::vector<PreviewRow> rows;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    rows.push_back(SplitAt(lines[i], "\t"));
    rows.back().pop_back();  // every cell ends with a tab
  }
  return rows;
}

std::string Shown(const PreviewRow& row) {
  std::string text;
  for (const std::string& cell : row) text += "[" + cell + "]";
  return text;
}

std::string Records(int count, std::string_view title) {
  std::string bytes;
  for (int i = 1; i <= count; ++i) {
    bytes += RecordBuilder().Field("001", "id" + std::to_string(i)).Field("200", "1 " + Sf("a", title)).Build();
  }
  return bytes;
}

struct FileCase {
  const char* what;
  std::string bytes;  // or the path of a file, with bytes empty
  std::string path;
};

std::vector<FileCase> FileCases() {
  const std::string data = QUIRNEL_TEST_DATA "/third-party/";
  return {
      {"GBK values with tabs, repeated fields, record types known and unknown",
       RecordBuilder()
               .Field("001", "id\t1")
               .Field("200", "1 " + Sf("a", Gbk("题名\t一")) + Sf("f", Gbk("著者")) + Sf("a", "second"))
               .Field("701", " 0" + Sf("a", Gbk("甲")))
               .Field("701", " 0" + Sf("a", Gbk("乙") + "\t") + Sf("a", "3"))
               .Build() +
           RecordBuilder().Type('Z').Field("200", "1 " + Sf("a", "x")).Build(),
       ""},
      {"UTF-8 records, told by the leader and by 100$a, with bytes that are no character",
       RecordBuilder().Coding('a').Field("200", "1 " + Sf("a", "题名\xFF") + Sf("f", "\xE4\xB8")).Build() +
           RecordBuilder()
               .Field("100", "  " + Sf("a", std::string(26, '0') + "50"))
               .Field("200", Sf("a", "名"))
               .Build(),
       ""},
      {"a refused record, an unreadable one, a bad entry and one cut short",
       RecordBuilder().Field("200", Sf("a", "refused")).DirectoryTail("X").Build() + "junk\r\n" +
           RecordBuilder().Field("200", Sf("a", "L")).Field("701", "").LengthText(1, "12a4").Build() +
           RecordBuilder().Field("200", Sf("a", "cut")).WithoutRecordTerminator().Build(),
       ""},
      {"more records than the preview keeps", Records(25, "T"), ""},
      {"the sample", "", QUIRNEL_SOURCE_DIR "/samples/sample.iso"},
      {"pymarc/testunimarc.dat", "", data + "pymarc/testunimarc.dat"},
      {"pymarc/bad_records.mrc", "", data + "pymarc/bad_records.mrc"},
      {"pymarc/utf8_invalid.mrc", "", data + "pymarc/utf8_invalid.mrc"},
      {"marc4j/chinese_mangled_multibyte.mrc", "", data + "marc4j/chinese_mangled_multibyte.mrc"},
      {"marc4j/bad_oversize_field_bad_directory.mrc", "", data + "marc4j/bad_oversize_field_bad_directory.mrc"},
      {"marcrecord/rusmarc_1.iso", "", data + "marcrecord/rusmarc_1.iso"},
      {"yaz/marc5.marc", "", data + "yaz/marc5.marc"},
  };
}

// Bytes made in memory, counting what is read of them.
class CountingInput : public MemoryInput {
 public:
  CountingInput(std::string text, std::size_t failAfter, std::size_t& consumed)
      : MemoryInput(std::move(text), 1 << 16, failAfter), consumed_(consumed) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = MemoryInput::Read(buffer, size);
    consumed_ += n;
    return n;
  }

 private:
  std::size_t& consumed_;
};

class CountingFiles : public FaultyFiles {
 public:
  CountingFiles(const std::function<std::string()>& make, std::size_t failAfter) {
    input = [this, make, failAfter] { return std::make_unique<CountingInput>(make(), failAfter, consumed); };
  }
  std::size_t consumed = 0;
};

}  // namespace

TEST(RecordPreview, CellsAreTheCellsOfAConversionIntoUtf8) {
  for (const FileCase& c : FileCases()) {
    TempFolder folder;
    std::string path = c.path;
    if (path.empty()) WriteBytes(path = folder.File("records.iso"), c.bytes);
    const PreviewRecords preview = ReadPreviewRecords(LocalFileSystem(), path);
    EXPECT_EQ(preview.error, "") << c.what;
    const std::vector<PreviewRow> rows = PreviewTable(preview, kItems, kSeparator);
    const std::vector<PreviewRow> converted = ConvertedRows(path);
    ASSERT_EQ(rows.size(), std::min(converted.size(), kPreviewRecords)) << c.what;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(Shown(rows[i]), Shown(converted[i])) << c.what << ", row " << i;
    }
  }
}

TEST(RecordPreview, KeepsTwentyRecordsAndReadsAFewMegabytes) {
  const std::string big(3u << 19, 'x');  // 1.5 MiB
  const struct {
    const char* what;
    std::function<std::string()> bytes;
    std::size_t failAfter;
    std::size_t records;
    std::size_t mostRead;
    const char* error;  // how the error begins
  } cases[] = {
      {"small records", [] { return Records(25, "T"); }, std::string::npos, kPreviewRecords, std::string::npos, ""},
      {"records of 1.5 MiB: the third passes 4 MiB", [&] { return Records(5, big); }, std::string::npos, 3,
       kPreviewBytes + (1u << 20), ""},
      {"a record too long to hold, then more",
       [] { return std::string(kLargestRecord + 1, 'x') + "\x1D" + Records(3, "T"); }, std::string::npos, 1,
       kLargestRecord + kPreviewBytes, ""},
      {"a record without end: read until it is known to be too long", [] { return std::string(64u << 20, 'x'); },
       std::string::npos, 1, kLargestRecord + (2u << 20), ""},
      {"a read that fails after two records", [] { return Records(5, "T"); }, 2 * Records(1, "T").size() + 10, 2,
       std::string::npos, "无法读取输入文件"},
  };
  for (const auto& c : cases) {
    CountingFiles files(c.bytes, c.failAfter);
    const PreviewRecords preview = ReadPreviewRecords(files, "records.iso");
    EXPECT_EQ(preview.records.size(), c.records) << c.what;
    EXPECT_EQ(preview.error.substr(0, std::string(c.error).size()), c.error) << c.what;
    EXPECT_LE(files.consumed, c.mostRead) << c.what;
  }
}

TEST(RecordPreview, AFileThatCannotBeOpenedSaysSo) {
  TempFolder folder;
  const PreviewRecords preview = ReadPreviewRecords(LocalFileSystem(), folder.File("missing.iso"));
  EXPECT_TRUE(preview.records.empty());
  const std::string expected = "无法打开输入文件：.../missing.iso";
  EXPECT_EQ(WithFolderAsDots(preview.error, folder).substr(0, expected.size()), expected);
}
