// The census of a record file: what it counts in real files and in records
// made for one fault each, how it ends, and the report marc2tab prints.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "census.h"
#include "census_report.h"
#include "record_builder.h"
#include "record_splitter.h"
#include "test_support.h"

namespace {

// A row of the census, keyed as "000?", "200" (the field), "200$a", "200$other" or "other tags".
std::string KeyOf(const CensusEntry& entry) {
  using Kind = CensusEntry::Kind;
  switch (entry.kind) {
    case Kind::RecordType: return "000?";
    case Kind::Subfield: return entry.tag + "$" + entry.subfield;
    case Kind::OtherSubfields: return entry.tag + "$other";
    case Kind::OtherTags: return "other tags";
    case Kind::ControlField:
    case Kind::DataField: break;
  }
  return entry.tag;
}

// "item 200a, 2 records, 3 times: T1"
std::string Describe(const std::string& item, std::int64_t records, std::int64_t occurrences,
                     const std::string& sample) {
  return "item " + (item.empty() ? "-" : item) + ", " + std::to_string(records) + " records, " +
         std::to_string(occurrences) + " times: " + sample;
}

struct Row {
  std::string key;
  std::string item;
  std::int64_t records, occurrences;
  std::string sample;
};

struct Case {
  const char* what;
  std::string bytes;  // or a third-party file's name, with bytes empty
  std::int64_t records, malformed, partlyRead;
  std::size_t rows;           // how many rows the census has
  std::vector<Row> expected;  // all of them or some
};

std::string ThirdPartyFile(const std::string& name) { return std::string(QUIRNEL_TEST_DATA) + "/third-party/" + name; }

Census CensusOf(const std::string& bytes) {
  TempFolder folder;
  WriteBytes(folder.File("records.iso"), bytes);
  return TakeCensus(LocalFileSystem(), folder.File("records.iso"));
}

// One line per row that differs, naming the case, the row and the difference.
void Compare(const Case& c, const Census& census) {
  const auto counts = [](bool completed, std::int64_t records, std::int64_t malformed, std::int64_t partlyRead,
                         std::size_t rows) {
    return std::string(completed ? "completed" : "NOT completed") + ", " + std::to_string(records) + " records, " +
           std::to_string(malformed) + " malformed, " + std::to_string(partlyRead) + " read in part, " +
           std::to_string(rows) + " rows";
  };
  EXPECT_EQ(counts(census.outcome == Census::Outcome::Completed, census.records, census.malformed, census.partlyRead,
                   census.entries.size()),
            counts(true, c.records, c.malformed, c.partlyRead, c.rows))
      << c.what;
  std::map<std::string, const CensusEntry*> byKey;
  for (const CensusEntry& entry : census.entries) byKey[KeyOf(entry)] = &entry;
  for (const Row& row : c.expected) {
    const auto found = byKey.find(row.key);
    const std::string expected = Describe(row.item, row.records, row.occurrences, row.sample);
    if (found == byKey.end()) {
      ADD_FAILURE() << c.what << ": row " << row.key << " missing; expected " << expected;
      continue;
    }
    const CensusEntry& e = *found->second;
    const std::string got = Describe(e.item, e.records, e.occurrences, e.sample);
    if (got != expected) ADD_FAILURE() << c.what << ": row " << row.key << ": expected " << expected << "; got " << got;
  }
}

const std::string kType = "文字资料印刷品";
const std::string kLongTitle =
    "中华人民共和国国家标准文献著录第一部分总则以及与之相关的各类文献著录规则汇编和编目工作手册附录与索引的说明修订版及"
    "其他相关资料的补充说明";

// A field of subfields with the codes '!', '"', '#' ... '!' + count - 1.
std::string ManyCodes(int count) {
  std::string field = "1 ";
  for (int i = 0; i < count; ++i) field += Sf(std::string(1, static_cast<char>('!' + i)), "v");
  return field;
}

// A record with fields "A00" ... "A99", "B00" ...: tags that are not three digits.
std::string ManyOtherTags(int count) {
  RecordBuilder record;
  for (int i = 0; i < count; ++i) {
    record.Field(static_cast<char>('A' + i / 100) + std::to_string(100 + i % 100).substr(1), "  " + Sf("a", "x"));
  }
  return record.Build();
}

std::string Repeat(std::string_view text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

// Made when the test runs: some records are large, and every test of the
// program would pay for them at its start.
std::vector<Case> Cases() {
  return {
      {"repeated fields and subfields, an empty subfield, control fields, the record type",
       RecordBuilder()
               .Field("001", "id1")
               .Field("003", "http://x")
               .Field("200", "1 " + Sf("a", "") + Sf("a", "T1") + Sf("f", "F"))
               .Build() +
           RecordBuilder()
               .Type('c')
               .Field("001", "id2")
               .Field("005", "20060827114514.0")
               .Field("200", "1 " + Sf("a", "T2"))
               .Field("200", "1 " + Sf("a", "T3") + Sf("e", ""))
               .Build(),
       2,
       0,
       0,
       8,
       {{"000?", "000?", 2, 2, kType},
        {"001", "001a", 2, 2, "id1"},
        {"003", "", 1, 1, "http://x"},
        {"005", "005a", 1, 1, "20060827114514.0"},
        {"200", "", 2, 3, "1 $a$aT1$fF"},
        {"200$a", "200a", 2, 4, "T1"},
        {"200$e", "200e", 1, 1, ""},
        {"200$f", "200f", 1, 1, "F"}}},
      {"samples in UTF-8 from GBK and UTF-8 records; one row for a code in both",
       RecordBuilder().Field("200", "1 " + Sf(Gbk("中"), Gbk("值")) + Sf("a", Gbk("题名") + "\xFF")).Build() +
           RecordBuilder()
               .Coding('a')
               .Field("200", "1 " + Sf("中", "值二三四五六七八九十") + Sf("b", "\xE4\xB8"))
               .Build(),
       2,
       0,
       0,
       5,
       {{"000?", "000?", 2, 2, kType},
        {"200", "", 2, 2, "1 $中值$a题名\xEF\xBF\xBD"},
        {"200$a", "200a", 1, 1, "题名\xEF\xBF\xBD"},
        {"200$b", "200b", 1, 1, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"200$中", "200中", 2, 2, "值"}}},
      {"samples cut to sixty characters, control characters shown as blanks",
       RecordBuilder()
           .Field("330", "  " + Sf("a", Gbk(kLongTitle)) + Sf("b", Gbk(kLongTitle.substr(0, 3 * 60))) +
                             Sf("c",
                                "a\tb\nc\x01"
                                "d"))
           .Build(),
       1,
       0,
       0,
       5,
       {{"330$a", "330a", 1, 1, kLongTitle.substr(0, 3 * 59) + "…"},
        {"330$b", "330b", 1, 1, kLongTitle.substr(0, 3 * 60)},
        {"330$c", "330c", 1, 1, "a b c d"}}},
      {"malformed records counted and skipped; records read in part",
       RecordBuilder().Field("200", "1 " + Sf("a", "A")).Build() +
           RecordBuilder().Field("200", Sf("a", "refused")).DirectoryTail("X").Build() + "junk\r\n" +
           std::string(kLargestRecord + 1, 'J') + "\x1D" +
           RecordBuilder().Field("200", Sf("a", "L")).Field("300", "").LengthText(1, "12a4").Build() +
           RecordBuilder().Field("200", Sf("a", "cut")).WithoutRecordTerminator().Build(),
       6,
       3,
       2,
       3,
       {{"000?", "000?", 3, 3, kType}, {"200", "", 3, 3, "1 $aA"}, {"200$a", "200a", 3, 3, "A"}}},
      {"entries that point at one field again; fields longer together than the record",
       ManyEntries(1000, false) + ManyEntries(1000, true),
       2,
       0,
       1,
       4,
       {{"200", "", 2, 3, "1 $av" + Repeat("$b", 27) + "…"}, {"200$a", "200a", 2, 3, "v"}}},
      {"more subfield codes than a tag has rows for",
       RecordBuilder().Field("200", ManyCodes(70)).Build(),
       1,
       0,
       0,
       2 + kCensusCodesPerTag + 1,
       {{"200$!", "200!", 1, 1, "v"}, {"200$,", "", 1, 1, "v"}, {"200$other", "", 1, 6, "v"}}},
      {"more tags that are not three digits than have rows",
       ManyOtherTags(kCensusOtherTags + 5),
       1,
       0,
       0,
       1 + 2 * kCensusOtherTags + 1,
       {{"A00", "", 1, 1, "  $ax"}, {"A00$a", "A00a", 1, 1, "x"}, {"other tags", "", 1, 5, "  $ax"}}},
      // Real files by other people's software (see tests/data/third-party/README.md).
      {"pymarc/testunimarc.dat", "", 1, 0, 0, 56, {{"200$a", "200a", 1, 1, " L' altra faccia della spirale"}}},
      {"pymarc/bad_records.mrc",
       "",
       8,
       2,
       0,
       5,
       {{"000?", "000?", 6, 6, ""}, {"245$c", "245c", 5, 5, "Andrew Hunt, David Thomas."}}},
      {"pymarc/utf8_invalid.mrc",
       "",
       1,
       0,
       0,
       46,
       {{"260$\xEF\xBF\xBD", "", 1, 1, "bAssociation of Teacher Educators]"}}},
      {"pymarc/bad_indicator.dat", "", 1, 0, 0, 52, {{"0 2$a", "0 2a", 1, 1, "9780253325525 (alk. paper)"}}},
      {"pymarc/bad_subfield_code.dat", "", 1, 0, 0, 42, {{"245$谩", "245谩", 1, 1, "ActivePerl with ASP and ADO /"}}},
      {"pymarc/1251.dat", "", 6, 0, 0, 64, {}},
      {"marc4j/chinese_mangled_multibyte.mrc", "", 4, 0, 0, 96, {{"880$h", "880h", 4, 4, "videorecording /"}}},
      {"marc4j/bad_leaders_10_11.mrc", "", 1, 0, 0, 80, {{"000?", "000?", 1, 1, ""}}},
      {"marc4j/unordered-directory-entries.mrc", "", 1, 0, 0, 84, {{"020$c", "020c", 1, 2, "$16.95"}}},
      {"marc4j/bad_oversize_field_bad_directory.mrc", "", 5, 1, 0, 35, {{"007", "", 4, 8, "cr|uuu---uuuuu"}}},
      {"yaz/marc1.marc", "", 1, 0, 0, 43, {}},
      {"yaz/marc5.marc", "", 1, 0, 0, 19, {{"245$a", "245a", 1, 1, "Ελληνικόν κρυπτογραφικόν λεξικόν /"}}},
      {"yaz/marc6.marc", "", 1, 0, 0, 22, {}},
      {"marcrecord/rusmarc_1.iso", "", 1, 0, 0, 43, {}},
      {"marcrecord/rusmarc_2.iso", "", 1, 0, 0, 65, {{"000?", "000?", 1, 1, ""}}},
  };
}

TEST(Census, CountsEveryTagAndCode) {
  for (const Case& c : Cases()) {
    Compare(c, c.bytes.empty() ? TakeCensus(LocalFileSystem(), ThirdPartyFile(c.what)) : CensusOf(c.bytes));
  }
}

// How a census ends, and what its progress says on the way: records so far
// and input bytes consumed, after every record and while a record too long
// to hold is skipped.
struct Ending {
  const char* what;
  std::function<std::unique_ptr<InputFile>()> input;  // null: no such file
  int stopAtCall;                                     // the progress call that says stop; 0 for none
  Census::Outcome outcome;
  std::int64_t records;
  std::int64_t counted;  // records in the census's rows: what was counted before the end stays
  // "records@bytes" of each progress call; nullopt where the splitter's blocks decide them.
  std::optional<std::string> calls;
  std::string error;  // "..." for the path
};

const std::string kA = RecordBuilder().Field("200", "1 " + Sf("a", "A")).Build();
const std::string kB = RecordBuilder().Field("200", "1 " + Sf("a", "B")).Build();
const std::string kThree = kA + kB + kA;
const std::string kCallsOfThree = "1@" + std::to_string(kA.size()) + " 2@" + std::to_string(kA.size() + kB.size()) +
                                  " 3@" + std::to_string(kThree.size()) + " ";

std::function<std::unique_ptr<InputFile>()> Input(const std::string& bytes, std::size_t failAfter = std::string::npos,
                                                  bool throwing = false) {
  return [=] { return std::make_unique<MemoryInput>(bytes, 1 << 20, failAfter, throwing); };
}

std::vector<Ending> Endings() {
  return {
      {"completed", Input(kThree), 0, Census::Outcome::Completed, 3, 3, kCallsOfThree, ""},
      {"stopped by its progress", Input(kThree), 2, Census::Outcome::Stopped, 2, 2,
       kCallsOfThree.substr(0, kCallsOfThree.find(" 3@") + 1), ""},
      {"stopped while a record too long to hold is skipped", Input(std::string(kLargestRecord + (2 << 20), 'J')), 2,
       Census::Outcome::Stopped, 1, 0, std::nullopt, ""},
      {"a read error", Input(kThree, kA.size() + 5), 0, Census::Outcome::Failed, 1, 1,
       "1@" + std::to_string(kA.size()) + " ", "无法读取输入文件：...（读写错误）"},
      {"no such file", nullptr, 0, Census::Outcome::Failed, 0, 0, "", "无法打开输入文件：...（文件不存在）"},
      {"memory runs out", Input(kThree, kA.size() + 5, true), 0, Census::Outcome::Failed, 0, 0,
       "1@" + std::to_string(kA.size()) + " ", "字段统计中断（内存不足）。"},
  };
}

TEST(Census, EndsAsItShould) {
  for (const Ending& e : Endings()) {
    TempFolder folder;
    const std::string path = folder.File("records.iso");
    FaultyFiles files;
    files.input = e.input;
    std::string calls;
    int call = 0;
    const Census census = TakeCensus(files, path, [&](std::int64_t records, std::uint64_t bytes) {
      calls += std::to_string(records) + "@" + std::to_string(bytes) + " ";
      return ++call != e.stopAtCall;
    });
    std::string error = census.error;
    if (error.find(path) != std::string::npos) error.replace(error.find(path), path.size(), "...");
    EXPECT_EQ(census.outcome, e.outcome) << e.what;
    EXPECT_EQ(census.records, e.records) << e.what;
    if (e.calls) {
      EXPECT_EQ(calls, *e.calls) << e.what;
    }
    if (e.stopAtCall > 0) {
      EXPECT_EQ(call, e.stopAtCall) << e.what << ": no call after the one that said stop";
    }
    EXPECT_EQ(error, e.error) << e.what;
    EXPECT_EQ(census.entries.empty() ? 0 : census.entries.front().records, e.counted) << e.what;
  }
}

// The report of the bundled sample, byte for byte as marc2tab prints it.
TEST(CensusReport, SampleFile) {
  const std::string source = QUIRNEL_SOURCE_DIR;
  const Census census = TakeCensus(LocalFileSystem(), source + "/samples/sample.iso");
  EXPECT_EQ(CensusReport(census), ReadBytes(source + "/tests/cli/sample-census.expected.txt"));
}

// What the sample does not show: the rows without a name, a code that would
// break the line, the "other" rows, and the end of a census that did not
// complete. Wide names line up at the next tab stop.
TEST(CensusReport, RowsAndEndingsTheSampleLacks) {
  using Kind = CensusEntry::Kind;
  Census stopped;
  stopped.outcome = Census::Outcome::Stopped;
  stopped.records = 4;
  stopped.malformed = 1;
  stopped.partlyRead = 1;
  stopped.entries = {{Kind::RecordType, "000?", "", "", 3, 3, "文字资料印刷品"},
                     {Kind::ControlField, "", "009", "", 1, 2, "x"},
                     {Kind::DataField, "", "200", "", 3, 3, "1 $aA"},
                     {Kind::Subfield, "", "200", "\t", 1, 1, "t"},
                     {Kind::OtherSubfields, "", "200", "", 1, 4, "v"},
                     {Kind::OtherTags, "", "", "", 1, 1, "  $ax"}};
  EXPECT_EQ(CensusReport(stopped),
            "代码\t名称    \t记录数\t占比\t次数\t重复\t示例\n"
            "000?\t记录类型\t3\t75.0%\t3\t\t文字资料印刷品\n"
            "009\t        \t1\t25.0%\t2\t是\tx\n"
            "200\t题名与责任说明\t3\t75.0%\t3\t\t1 $aA\n"
            "200\xEF\xBF\xBD\t        \t1\t25.0%\t1\t\tt\n"
            "200\t其他子字段\t1\t25.0%\t4\t是\tv\n"
            "\t其他字段\t1\t25.0%\t1\t\t  $ax\n"
            "共读取4条记录。其中1条格式有误，未计入统计；1条有字段无法读取，只计入其余字段。\n"
            "统计未完成：已中止，以上只是前面的记录。\n");

  Census failed;
  failed.error = "无法读取输入文件：a.iso（读写错误）";
  EXPECT_EQ(CensusReport(failed),
            "代码\t名称\t记录数\t占比\t次数\t重复\t示例\n"
            "共读取0条记录。\n"
            "统计未完成：无法读取输入文件：a.iso（读写错误）\n");
}

}  // namespace
