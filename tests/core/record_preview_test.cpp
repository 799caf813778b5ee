// The preview of a file's first records: its cells are the cells a
// conversion into UTF-8 writes, whatever the items and the records, and it
// keeps and reads no more than its bounds. The conversion's counts of real
// files, and its malformed records counted as the census counts them.
#include <gtest/gtest.h>

#include <memory>

#include "app/record_preview.h"
#include "census/census.h"
#include "conversion.h"
#include "marc/record_splitter.h"
#include "record_builder.h"
#include "test_support.h"

namespace {

std::string Records(int count, std::string_view title) {
  std::string bytes;
  for (int i = 1; i <= count; ++i) {
    bytes += RecordBuilder().Field("001", "id" + std::to_string(i)).Field("200", "1 " + Sf("a", title)).Build();
  }
  return bytes;
}

}  // namespace

TEST(RecordPreview, CellsAreTheCellsOfAConversionIntoUtf8) {
  // Every kind of item: the record type, whole control fields, first and
  // every occurrence, codes no record has, an empty item, a typing mistake.
  const std::vector<std::string> items = {"000?", "001a", "005?",  "010a",  "010d",  "101a", "100a",
                                          "200a", "200f", "200a*", "701a*", "606a*", "690a", "9999",
                                          "",     "200A", "题名",  "2001",  "245a",  "245c*"};
  const std::string separator = " |\t| ";  // a tab in it would split cells: both sides take it out
  RecordBuilder gbk;
  gbk.Field("001", "id\t1").Field("200", "1 " + Sf("a", Gbk("题名\t一")) + Sf("f", Gbk("著者")) + Sf("a", "second"));
  gbk.Field("701", " 0" + Sf("a", Gbk("甲"))).Field("701", " 0" + Sf("a", Gbk("乙") + "\t") + Sf("a", "3"));
  const struct {
    const char* what;  // or a file's path in the source tree, with bytes empty
    std::string bytes;
    const char* counts = "";  // of real files: records, malformed and UTF-8 records
  } cases[] = {
      {"GBK values with tabs, repeated fields, record types known and unknown",
       gbk.Build() + RecordBuilder().Type('Z').Field("200", "1 " + Sf("a", "x")).Build()},
      {"UTF-8 records, told by the leader and by 100$a, with bytes that are no character",
       RecordBuilder().Coding('a').Field("200", "1 " + Sf("a", "题名\xFF") + Sf("f", "\xE4\xB8")).Build() +
           RecordBuilder()
               .Field("100", "  " + Sf("a", std::string(26, '0') + "50"))
               .Field("200", Sf("a", "名"))
               .Build()},
      {"a refused record, an unreadable one, a bad entry and one cut short",
       RecordBuilder().Field("200", Sf("a", "refused")).DirectoryTail("X").Build() + "junk\r\n" +
           RecordBuilder().Field("200", Sf("a", "L")).Field("701", "").LengthText(1, "12a4").Build() +
           RecordBuilder().Field("200", Sf("a", "cut")).WithoutRecordTerminator().Build()},
      {"more records than the preview keeps", Records(25, "T")},
      {"samples/sample.iso", ""},
      // Real records written by other people's software, with their real
      // faults and in their encodings.
      {"tests/data/third-party/pymarc/testunimarc.dat", "", "1/0/1"},
      {"tests/data/third-party/pymarc/bad_records.mrc", "", "8/2/0"},
      {"tests/data/third-party/pymarc/utf8_invalid.mrc", "", "1/0/1"},
      {"tests/data/third-party/pymarc/bad_indicator.dat", "", "1/0/1"},
      {"tests/data/third-party/pymarc/bad_subfield_code.dat", "", "1/0/0"},
      {"tests/data/third-party/pymarc/1251.dat", "", "6/0/0"},
      {"tests/data/third-party/marc4j/chinese_mangled_multibyte.mrc", "", "4/0/1"},
      {"tests/data/third-party/marc4j/bad_leaders_10_11.mrc", "", "1/0/0"},
      {"tests/data/third-party/marc4j/unordered-directory-entries.mrc", "", "1/0/0"},
      {"tests/data/third-party/marc4j/bad_oversize_field_bad_directory.mrc", "", "5/1/4"},
      {"tests/data/third-party/yaz/marc1.marc", "", "1/0/0"},
      {"tests/data/third-party/yaz/marc5.marc", "", "1/0/1"},
      {"tests/data/third-party/yaz/marc6.marc", "", "1/0/0"},
      {"tests/data/third-party/marcrecord/rusmarc_1.iso", "", "1/0/0"},
      {"tests/data/third-party/marcrecord/rusmarc_2.iso", "", "1/0/0"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string path = c.bytes.empty() ? QUIRNEL_SOURCE_DIR "/" + std::string(c.what) : folder.File("in.iso");
    if (!c.bytes.empty()) WriteBytes(path, c.bytes);
    const PreviewRecords preview = ReadPreviewRecords(LocalFileSystem(), path);
    EXPECT_FALSE(preview.failure) << c.what;
    std::vector<std::string> shown, converted;  // lines, each cell followed by a tab
    for (const PreviewRow& row : PreviewTable(preview, items, separator)) {
      shown.emplace_back();
      for (const std::string& cell : row) shown.back() += cell + "\t";
    }
    ConversionRequest request;
    request.inputPaths = {path};
    request.outputPath = folder.File("out.txt");
    request.items = items;
    request.joinSeparator = separator;
    request.output = OutputType::Utf8Text;
    const RunSummary summary = Convert(request, LocalFileSystem());
    EXPECT_EQ(summary.outcome, RunSummary::Outcome::Completed) << c.what;
    const std::string counts = std::to_string(summary.records) + "/" + std::to_string(summary.malformed) + "/" +
                               std::to_string(summary.utf8Records);
    EXPECT_EQ(*c.counts != '\0' ? counts : "", c.counts) << c.what;
    EXPECT_EQ(TakeCensus(LocalFileSystem(), path).Faulty(), summary.malformed) << c.what << ": one count";
    const std::string text = ReadBytes(request.outputPath);
    // After the mark and the header line, as many lines as the preview keeps.
    for (std::size_t at = text.find("\r\n") + 2; at < text.size() && converted.size() < kPreviewRecords;) {
      const std::size_t end = text.find("\r\n", at);
      converted.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    EXPECT_EQ(FirstDifference(shown, converted), "") << c.what;
  }
}

TEST(RecordPreview, KeepsTwentyRecordsAndReadsAFewMegabytes) {
  const std::string big(3u << 19, 'x');  // 1.5 MiB
  const struct {
    const char* what;
    std::function<std::string()> bytes;  // null: no such file
    std::size_t failAfter, records, mostRead;
    const char* error;  // how the error begins
  } cases[] = {
      {"small records: the twenty the chooser promises", [] { return Records(25, "T"); }, std::string::npos, 20,
       std::string::npos, ""},
      {"records of 1.5 MiB: the third passes 4 MiB", [&] { return Records(5, big); }, std::string::npos, 3,
       kPreviewBytes + (1u << 20), ""},
      {"a record too long to hold, then more",
       [] { return std::string(kLargestRecord + 1, 'x') + "\x1D" + Records(3, "T"); }, std::string::npos, 1,
       kLargestRecord + kPreviewBytes, ""},
      {"a record without end: read until it is known to be too long", [] { return std::string(64u << 20, 'x'); },
       std::string::npos, 1, kLargestRecord + (2u << 20), ""},
      {"a read that fails after two records", [] { return Records(5, "T"); }, 2 * Records(1, "T").size() + 10, 2,
       std::string::npos, "无法读取输入文件：.../records.iso"},
      {"no such file", nullptr, 0, 0, 0, "无法打开输入文件：.../records.iso"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    FaultyFiles files;
    std::size_t consumed = 0;
    files.input = [&] {
      auto input = std::make_unique<MemoryInput>(c.bytes(), 1 << 16, c.failAfter);
      input->counted = &consumed;
      return input;
    };
    if (!c.bytes) files.input = nullptr;
    const PreviewRecords preview = ReadPreviewRecords(files, folder.File("records.iso"));
    EXPECT_EQ(preview.records.size(), c.records) << c.what;
    EXPECT_EQ(WithFolderAsDots(Messages(Language::Chinese).Failed(preview.failure, Work::Preview), folder)
                  .substr(0, std::string(c.error).size()),
              c.error)
        << c.what;
    EXPECT_LE(consumed, c.mostRead) << c.what;
  }
}
