// The census of a record file: what it counts in real files and in records
// made for one fault each, how it ends, and the report marc2tab prints.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>

#include "census/census.h"
#include "census_report.h"
#include "marc/field_names.h"
#include "marc/record_batch.h"
#include "marc/record_splitter.h"
#include "record_builder.h"
#include "test_support.h"

namespace {

// "200$a|200a|2|4|T1": the row ("000?", "200", "200$a", "200$other" or
// "other tags"), its item, records, occurrences and sample, then the joined
// sample when it differs ("|T1; T2").
std::string Described(const CensusEntry& e) {
  using Kind = CensusEntry::Kind;
  std::string row = e.kind == Kind::RecordType ? "000?" : e.kind == Kind::OtherTags ? "other tags" : e.tag;
  if (e.kind == Kind::Subfield) row += "$" + e.subfield;
  if (e.kind == Kind::OtherSubfields) row += "$other";
  return row + "|" + e.item + "|" + std::to_string(e.records) + "|" + std::to_string(e.occurrences) + "|" + e.sample +
         (e.joinedSample != e.sample ? "|" + e.joinedSample : "");
}

// 70 subfield codes '!', '"', '#' ... in 200, then tags "A00" ... "B04",
// which are not three digits: more of both than the census has rows for.
std::string ManyCodesAndTags() {
  std::string codes = "1 ";
  for (char code = '!'; code < '!' + 70; ++code) codes += Sf(std::string(1, code), "v");
  RecordBuilder record;
  record.Field("200", codes);
  for (std::size_t i = 0; i < kCensusOtherTags + 5; ++i) {
    record.Field(static_cast<char>('A' + i / 100) + std::to_string(100 + i % 100).substr(1), "  " + Sf("a", "x"));
  }
  return record.Build();
}

TEST(Census, CountsEveryTagAndCode) {
  const std::string title =
      "中华人民共和国国家标准文献著录第一部分总则以及与之相关的各类文献著录规则汇编和编目工作手册"
      "附录与索引的说明修订版及其他相关资料的补充说明";
  RecordBuilder repeated, repeatedToo, gbk, utf8;
  repeated.Field("001", "id1")
      .Field("009", "x")
      .Field("200", "1 " + Sf("a", "") + Sf("a", "T1") + Sf("f", "F") + Sf("\x7F", "D"));
  repeatedToo.Type('c').Field("001", "id2").Field("005", "20060827114514.0").Field("200", "1 " + Sf("a", "T2"));
  repeatedToo.Field("200", "1 " + Sf("a", "T3") + Sf("e", ""));
  gbk.Field("200", "1 " + Sf(Gbk("中"), Gbk("值")) + Sf("a", Gbk("题名") + "\xFF"));
  gbk.Field("330", "  " + Sf("a", Gbk(title)) + Sf("b", Gbk(title.substr(0, 3 * 60))) + Sf("c", "a\tb\nc\x01z") +
                       Sf("d", Gbk(title.substr(0, 3 * 61))));
  utf8.Coding('a').Field(
      "200", "1 " + Sf("中", "值二三四五六七八九十") + Sf("b", "\xE4\xB8") + Sf("c", "x\xC2\xA0y\xC2\x85z"));
  const struct {
    const char* what;  // or a third-party file's name, with bytes empty
    std::string bytes;
    const char* counts;             // records/malformed/read in part/rows
    std::vector<std::string> rows;  // some of them
  } cases[] = {
      {"repeated fields and subfields, an empty subfield, control fields, the record type; a code no list can type",
       repeated.Build() + repeatedToo.Build(),
       "2/0/0/9",
       {"000?|000?|2|2|文字资料印刷品", "001|001a|2|2|id1", "009||1|1|x", "005|005a|1|1|20060827114514.0",
        "200||2|3|1 $a$aT1$fF$ D", "200$a|200a|2|4|T1", "200$e|200e|1|1|", "200$f|200f|1|1|F", "200$\x7F||1|1|D"}},
      {"samples in UTF-8 from GBK and UTF-8 records, one row for a code in both; cut to sixty characters, "
       "control characters shown as blanks",
       gbk.Build() + utf8.Build(),
       "2/0/0/11",
       {"200||2|2|1 $中值$a题名\xEF\xBF\xBD", "200$a|200a|1|1|题名\xEF\xBF\xBD",
        "200$b|200b|1|1|\xEF\xBF\xBD\xEF\xBF\xBD", "200$中|200中|2|2|值", "200$c|200c|1|1|x\xC2\xA0y z",
        "330$a|330a|1|1|" + title.substr(0, 3 * 59) + "…", "330$b|330b|1|1|" + title.substr(0, 3 * 60),
        "330$d|330d|1|1|" + title.substr(0, 3 * 59) + "…", "330$c|330c|1|1|a b c z"}},
      {"malformed records counted and skipped; records read in part",
       RecordBuilder().Field("200", "1 " + Sf("a", "A")).Build() +
           RecordBuilder().Field("200", Sf("a", "refused")).DirectoryTail("X").Build() + "junk\r\n" +
           std::string(kLargestRecord + 1, 'J') + "\x1D" +
           RecordBuilder().Field("200", Sf("a", "L")).Field("300", "").LengthText(1, "12a4").Build() +
           RecordBuilder().Field("200", Sf("a", "cut")).WithoutRecordTerminator().Build(),
       "6/3/2/3",
       {"000?|000?|3|3|文字资料印刷品", "200||3|3|1 $aA", "200$a|200a|3|3|A"}},
      {"entries that point at one field again; fields longer together than the record",
       ManyEntries(1000, false) + ManyEntries(1000, true),
       "2/0/1/4",
       {"200$a|200a|2|3|v"}},
      {"a last entry too near the record's end to be read sixteen bytes at once: its tag is still its own",
       RecordBuilder().Field("210", "  " + Sf("a", "x")).Field("212", "  " + Sf("a", "y")).Build() +
           RecordBuilder().Field("211", "").Build(),
       "2/0/0/6",
       {"210||1|1|  $ax", "211||1|1|", "212||1|1|  $ay"}},
      {"more subfield codes and other tags than have rows",
       ManyCodesAndTags(),
       "1/0/0/268",
       {"200$!|200!|1|1|v", "200$,||1|1|v", "200$other||1|6|v|v; v; v; v; v; v", "A00||1|1|  $ax", "A00$a|A00a|1|1|x",
        "other tags||1|5|  $ax|  $ax;   $ax;   $ax;   $ax;   $ax"}},
      {"the values of the first record with one joined, cut as a sample; later records' left out",
       RecordBuilder()
               .Field("701", " 0" + Sf("a", "Li"))
               .Field("701", " 0" + Sf("a", "") + Sf("a", "Wang") + Sf("a", Gbk(title)))
               .Field("702", " 1" + Sf("a", "A"))
               .Build() +
           RecordBuilder()
               .Field("701", " 0" + Sf("a", "Zhao"))
               .Field("702", " 1" + Sf("a", "B") + Sf("a", "C"))
               .Build(),
       "2/0/0/5",
       {"701$a|701a|2|5|Li|Li; Wang; " + title.substr(0, 3 * 49) + "…", "702$a|702a|2|3|A"}},
      // Real files by other people's software (see tests/data/third-party/README.md).
      {"pymarc/testunimarc.dat", "", "1/0/0/56", {"200$a|200a|1|1| L' altra faccia della spirale"}},
      {"pymarc/bad_records.mrc", "", "8/2/0/5", {"000?|000?|6|6|", "245$c|245c|5|5|Andrew Hunt, David Thomas."}},
      {"pymarc/utf8_invalid.mrc", "", "1/0/0/46", {"260$\xEF\xBF\xBD||1|1|bAssociation of Teacher Educators]"}},
      // No item has a blank inside.
      {"pymarc/bad_indicator.dat", "", "1/0/0/52", {"0 2$a||1|1|9780253325525 (alk. paper)"}},
      {"pymarc/bad_subfield_code.dat", "", "1/0/0/42", {"245$谩|245谩|1|1|ActivePerl with ASP and ADO /"}},
      {"pymarc/1251.dat", "", "6/0/0/64", {}},
      {"marc4j/chinese_mangled_multibyte.mrc", "", "4/0/0/96", {"880$h|880h|4|4|videorecording /"}},
      {"marc4j/bad_leaders_10_11.mrc", "", "1/0/0/80", {"000?|000?|1|1|"}},
      {"marc4j/unordered-directory-entries.mrc", "", "1/0/0/84", {"020$c|020c|1|2|$16.95|$16.95; $16.95"}},
      {"marc4j/bad_oversize_field_bad_directory.mrc", "", "5/1/0/35", {"007||4|8|cr|uuu---uuuuu|cr|uuu---uuuuu; 7"}},
      {"yaz/marc1.marc", "", "1/0/0/43", {}},
      {"yaz/marc5.marc", "", "1/0/0/19", {"245$a|245a|1|1|Ελληνικόν κρυπτογραφικόν λεξικόν /"}},
      {"yaz/marc6.marc", "", "1/0/0/22", {}},
      {"marcrecord/rusmarc_1.iso", "", "1/0/0/43", {}},
      {"marcrecord/rusmarc_2.iso", "", "1/0/0/65", {"000?|000?|1|1|"}},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string path =
        c.bytes.empty() ? QUIRNEL_TEST_DATA "/third-party/" + std::string(c.what) : folder.File("records.iso");
    if (!c.bytes.empty()) WriteBytes(path, c.bytes);
    const Census census = TakeCensus(LocalFileSystem(), path, nullptr, TestThreads());
    EXPECT_EQ(census.outcome, Census::Outcome::Completed) << c.what;
    EXPECT_EQ(std::to_string(census.records) + "/" + std::to_string(census.malformed) + "/" +
                  std::to_string(census.partlyRead) + "/" + std::to_string(census.entries.size()),
              c.counts)
        << c.what;
    std::map<std::string, std::string> byRow;
    for (const CensusEntry& entry : census.entries) {
      const std::string row = Described(entry);
      byRow[row.substr(0, row.find('|'))] = row;
    }
    for (const std::string& row : c.rows) EXPECT_EQ(byRow[row.substr(0, row.find('|'))], row) << c.what;
  }
}

// A field's codes in the order code lists are written: letters, digits,
// then any other code.
TEST(Census, CodesInTheOrderListsAreWritten) {
  TempFolder folder;
  WriteBytes(folder.File("r.iso"),
             RecordBuilder()
                 .Field("200", "1 " + Sf("#", "") + Sf("1", "") + Sf(Gbk("中"), "") + Sf("b", "") + Sf("a", ""))
                 .Build());
  std::string codes;
  for (const CensusEntry& entry : TakeCensus(LocalFileSystem(), folder.File("r.iso"), nullptr, TestThreads()).entries) {
    if (entry.kind == CensusEntry::Kind::Subfield) codes += entry.subfield + " ";
  }
  EXPECT_EQ(codes, "a b 1 # 中 ");
}

// How a census ends, and what its progress says on the way: records so far
// and input bytes consumed, after each batch of records and while a record
// too long to hold is skipped. What was counted before the end stays.
TEST(Census, EndsAsItShould) {
  const std::string a = RecordBuilder().Field("200", "1 " + Sf("a", "A")).Build();
  const std::string three = a + RecordBuilder().Field("200", "1 " + Sf("a", "B")).Build() + a;
  std::string batchAndOne;
  for (std::size_t i = 0; i <= RecordBatch::kRecords; ++i) batchAndOne += a;
  const auto batch = static_cast<std::int64_t>(RecordBatch::kRecords);
  const auto input = [](const std::string& bytes, std::size_t failAfter = std::string::npos, bool throwing = false) {
    return [=] { return std::make_unique<MemoryInput>(bytes, 1 << 20, failAfter, throwing ? OutOfMemory() : nullptr); };
  };
  const struct {
    const char* what;
    std::function<std::unique_ptr<InputFile>()> input;  // null: no such file
    int stopAtCall;                                     // the progress call that says stop; 0 for none
    Census::Outcome outcome;
    std::int64_t records, counted;  // counted: the records in the census's rows
    // "records@bytes" of each progress call; nullopt where the splitter's blocks decide them.
    std::optional<std::string> calls;
    std::string error;  // ".../" for the folder
  } endings[] = {
      {"completed", input(three), 0, Census::Outcome::Completed, 3, 3, "3@" + std::to_string(three.size()) + " ", ""},
      {"stopped by its progress after a whole batch", input(batchAndOne), 1, Census::Outcome::Stopped, batch, batch,
       std::to_string(batch) + "@" + std::to_string(a.size() * RecordBatch::kRecords) + " ", ""},
      {"stopped while a record too long to hold is skipped", input(std::string(kLargestRecord + (2 << 20), 'J')), 2,
       Census::Outcome::Stopped, 1, 0, std::nullopt, ""},
      {"a read error", input(three, a.size() + 5), 0, Census::Outcome::Failed, 1, 1,
       "1@" + std::to_string(a.size()) + " ", "无法读取输入文件：.../records.iso（读写错误）"},
      {"no such file", nullptr, 0, Census::Outcome::Failed, 0, 0, "",
       "无法打开输入文件：.../records.iso（文件不存在）"},
      {"memory runs out", input(three, a.size() + 5, true), 0, Census::Outcome::Failed, 0, 0,
       "1@" + std::to_string(a.size()) + " ", "字段统计中断（内存不足）。"},
  };
  for (const auto& e : endings) {
    TempFolder folder;
    const std::string path = folder.File("records.iso");
    FaultyFiles files;
    files.input = e.input;
    std::string progress;
    int call = 0;
    const Census census = TakeCensus(
        files, path,
        [&](std::int64_t records, std::uint64_t bytes) {
          progress += std::to_string(records) + "@" + std::to_string(bytes) + " ";
          return ++call != e.stopAtCall;
        },
        TestThreads());
    EXPECT_EQ(census.outcome, e.outcome) << e.what;
    EXPECT_EQ(census.records, e.records) << e.what;
    EXPECT_EQ(census.entries.empty() ? 0 : census.entries.front().records, e.counted) << e.what;
    EXPECT_EQ(progress, e.calls.value_or(progress)) << e.what;
    EXPECT_TRUE(e.stopAtCall == 0 || call == e.stopAtCall) << e.what << ": a call after the one that said stop";
    EXPECT_EQ(WithFolderAsDots(Messages(Language::Chinese).Failed(census.failure, Work::Census), folder), e.error)
        << e.what;
  }
}

// Every field of a census, a line for the census and one for each row.
std::vector<std::string> EveryField(const Census& c) {
  std::vector<std::string> lines = {std::to_string(static_cast<int>(c.outcome)) + "|" + std::to_string(c.records) +
                                    "|" + std::to_string(c.malformed) + "|" + std::to_string(c.partlyRead) + "|" +
                                    Messages(Language::English).Failed(c.failure, Work::Census)};
  for (const CensusEntry& e : c.entries) {
    lines.push_back(std::to_string(static_cast<int>(e.kind)) + "|" + e.item + "|" + e.tag + "|" + e.subfield + "|" +
                    std::to_string(e.records) + "|" + std::to_string(e.occurrences) + "|" + e.sample + "|" +
                    e.joinedSample);
  }
  return lines;
}

// Small records (batches end at their number) then long ones (at their
// bytes): GBK and UTF-8 records sharing two-byte codes, samples that only
// later batches give, values joined in one record. Hostile: records of a
// kilobyte, so that batches end sooner, with, a batch or two each, more
// other tags, more codes of a tag, more byte forms of a code than have
// rows, and a batch with more codes than rows by itself; damaged records
// and a record too long to hold.
std::string ManyRecords(bool hostile) {
  std::mt19937 random(hostile ? 2 : 1);
  const char* const chinese[] = {"中", "文", "题", "名", "著", "者"};
  std::string file;
  for (std::size_t i = 0; i < 6000; ++i) {
    RecordBuilder record;
    const bool utf8 = i % 3 == 0;
    const auto text = [utf8](const std::string& t) { return utf8 ? t : Gbk(t); };
    if (utf8) record.Coding('a');
    record.Field("001", "id" + std::to_string(i));
    record.Field("200", "1 " + Sf("a", i % 7 == 0 ? "" : "T" + std::to_string(i)) + Sf("b", i < 4500 ? "" : "late"));
    record.Field("330", "  " + Sf(text(chinese[random() % 6]), text("值" + std::to_string(i))));
    if (i == 4200) record.Field("701", " 0" + Sf("a", "Li") + Sf("a", "Wang")).Field("701", " 0" + Sf("a", "Zhao"));
    if (hostile) {
      record.Field("999", std::string(1000, 'f'));
      if (i < 2000)
        record.Field(std::string{'Z', static_cast<char>('A' + i / 16 / 26), static_cast<char>('A' + i / 16 % 26)},
                     "  " + Sf("a", "o"));
      if (i < 4500) record.Field("300", "  " + Sf(std::string(1, static_cast<char>('!' + i / 70)), "c"));
      if (i >= 3000 && i < 3100) {
        record.Field("510", "  " + Sf(std::string{static_cast<char>(0x81 + random() % 126),
                                                  static_cast<char>(0x40 + random() % 190)},
                                      "k"));
      }
      // Bytes that are no character: many byte forms of one code.
      if (i >= 4640) record.Field("520", "  " + Sf(std::string(1, static_cast<char>(0x80 + i / 16 % 128)), " z"));
    }
    file += record.Build();
    if (hostile && i % 1000 == 500) file += RecordBuilder().Field("200", Sf("a", "refused")).DirectoryTail("X").Build();
    if (hostile && i == 3000) file += std::string(kLargestRecord + 1, 'J') + "\x1D";
  }
  for (std::size_t i = 0; i < 25; ++i) {
    RecordBuilder record;
    for (std::size_t field = 0; field < 12; ++field) record.Field("330", "  " + Sf("a", std::string(8000, 'L')));
    file += record.Build();
  }
  return file;
}

// The census is the same on any number of threads, however its batches end,
// whatever limits they reach, and when it stops.
TEST(Census, SameOnEveryNumberOfThreads) {
  TempFolder folder;
  WriteBytes(folder.File("plain.iso"), ManyRecords(false));
  WriteBytes(folder.File("hostile.iso"), ManyRecords(true));
  std::vector<std::string> realFiles = {QUIRNEL_SOURCE_DIR "/samples/sample.iso"};
  for (const char* name : {"pymarc/bad_records.mrc", "pymarc/utf8_invalid.mrc", "pymarc/bad_subfield_code.dat",
                           "marc4j/chinese_mangled_multibyte.mrc", "marc4j/bad_oversize_field_bad_directory.mrc"}) {
    realFiles.push_back(QUIRNEL_TEST_DATA "/third-party/" + std::string(name));
  }
  std::vector<std::string> both = {folder.File("plain.iso"), folder.File("hostile.iso")};
  both.insert(both.end(), realFiles.begin(), realFiles.end());
  const struct {
    const char* what;
    std::vector<std::string> paths;
    int stopAtCall;  // 0 for none
  } cases[] = {
      {"the sample and real files", realFiles, 0},
      {"many records", {folder.File("plain.iso")}, 0},
      {"limits reached a batch at a time, damaged records", {folder.File("hostile.iso")}, 0},
      {"both files and the real ones after them", both, 0},
      {"stopped after the second batch", {folder.File("plain.iso")}, 2},
      {"stopped where limits are reached", {folder.File("hostile.iso")}, 5},
  };
  for (const auto& c : cases) {
    std::vector<std::string> one;
    for (const unsigned threads : {1u, 2u, 7u}) {
      int call = 0;
      const Census census = TakeCensus(
          LocalFileSystem(), c.paths, [&](std::int64_t, std::uint64_t) { return ++call != c.stopAtCall; }, threads);
      if (threads == 1) one = EveryField(census);
      EXPECT_EQ(FirstDifference(EveryField(census), one), "") << c.what << ", threads " << threads;
    }
    EXPECT_GT(one.size(), 1u) << c.what;
  }
}

// Every name shown beside a code, in Chinese and in English, one line each,
// against the list kept with the tests: a name changed, lost, or moved to
// another tag or code shows as a line to review.
TEST(FieldNames, EveryNameAsChecked) {
  std::vector<std::string> names;
  const auto add = [&names](const std::string& code, std::string_view chinese, std::string_view english) {
    if (!chinese.empty() || !english.empty())
      names.push_back(code + "\t" + std::string(chinese) + "\t" + std::string(english));
  };
  for (int number = 0; number < 1000; ++number) {
    const std::string tag = std::string(1, static_cast<char>('0' + number / 100)) +
                            static_cast<char>('0' + number / 10 % 10) + static_cast<char>('0' + number % 10);
    add(tag, FieldName(tag), FieldName(tag, Language::English));
    for (char code = '!'; code <= '~'; ++code) {
      const std::string item(1, code);
      add(tag + "$" + code, SubfieldName(tag, item), SubfieldName(tag, item, Language::English));
    }
  }
  std::vector<std::string> checked;
  std::istringstream list(ReadBytes(QUIRNEL_TEST_DATA "/field-names.txt"));
  for (std::string line; std::getline(list, line);) checked.push_back(line);
  EXPECT_EQ(FirstDifference(names, checked), "");
}

// The report of the bundled sample, byte for byte as marc2tab prints it.
TEST(CensusReport, SampleFile) {
  const Census census = TakeCensus(LocalFileSystem(), QUIRNEL_SOURCE_DIR "/samples/sample.iso");
  EXPECT_EQ(CensusReport(census, Messages(Language::Chinese), CliTexts(Language::Chinese)),
            ReadBytes(QUIRNEL_SOURCE_DIR "/tests/cli/sample-census.expected.txt"));
  // In English: its words and the UNIMARC names, the same counts.
  const std::string english = CensusReport(census, Messages(Language::English), CliTexts(Language::English));
  EXPECT_EQ(english.substr(0, english.find(' ')), "Code\tName");
  EXPECT_NE(english.find("\tTitle proper"), std::string::npos);
}

// What the sample does not show: the rows without a name, a code that would
// break the line, the "other" rows, and the end of a census that did not
// complete. Wide names line up at the next tab stop. Shares are of the
// records that could be read.
TEST(CensusReport, RowsAndEndingsTheSampleLacks) {
  using Kind = CensusEntry::Kind;
  Census stopped;
  stopped.outcome = Census::Outcome::Stopped;
  stopped.records = 4;
  stopped.malformed = stopped.partlyRead = 1;
  stopped.entries = {{Kind::RecordType, "000?", "", "", 3, 3, "文字资料印刷品", "文字资料印刷品"},
                     {Kind::ControlField, "", "009", "", 1, 2, "x", "x; y"},
                     {Kind::DataField, "", "200", "", 3, 3, "1 $aA", "1 $aA"},
                     {Kind::Subfield, "", "200", "\t", 1, 1, "t", "t"},
                     {Kind::OtherSubfields, "", "200", "", 1, 4, "v", "v; w"},
                     {Kind::OtherTags, "", "", "", 1, 1, "  $ax", "  $ax"}};
  EXPECT_EQ(CensusReport(stopped, Messages(Language::Chinese), CliTexts(Language::Chinese)),
            "代码\t名称    \t记录数\t占比\t次数\t重复\t示例\n"
            "000?\t记录类型\t3\t100.0%\t3\t\t文字资料印刷品\n"
            "009\t        \t1\t33.3%\t2\t是\tx\n"
            "200\t题名与责任说明\t3\t100.0%\t3\t\t1 $aA\n"
            "200\xEF\xBF\xBD\t        \t1\t33.3%\t1\t\tt\n"
            "200\t其他子字段\t1\t33.3%\t4\t是\tv\n"
            "\t其他字段\t1\t33.3%\t1\t\t  $ax\n"
            "共读取4条记录。其中1条格式有误，未计入统计；1条有字段无法读取，只计入其余字段。\n"
            "统计未完成：已中止，以上只是前面的记录。\n");
  Census failed;
  failed.failure = FileFailure(Failure::Kind::CannotReadInput, "a.iso", {FileError::Kind::ReadWrite, 5});
  EXPECT_EQ(CensusReport(failed, Messages(Language::Chinese), CliTexts(Language::Chinese)),
            "代码\t名称\t记录数\t占比\t次数\t重复\t示例\n共读取0条记录。\n"
            "统计未完成：无法读取输入文件：a.iso（读写错误）\n");
}

}  // namespace
