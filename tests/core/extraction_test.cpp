// One record and one field code to the cell value, through every way a
// record can be read: well-formed, refused, unreadable, and with bad numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>

#include "differences.h"
#include "field_value.h"
#include "marc/column_title.h"
#include "marc/field_list.h"
#include "record_builder.h"
#include "test_support.h"
#include "text/encoding_evidence.h"

namespace {

using Value = std::optional<std::string>;
const Value kFails = std::nullopt;

struct Case {
  const char* what;
  std::string record;
  std::string code;
  Value value;
};

const std::string kTwo200 =
    RecordBuilder().Field("200", "1 " + Sf("f", "first")).Field("200", "1 " + Sf("a", "A2") + Sf("a", "A3")).Build();
const std::string kBook = RecordBuilder()
                              .Field("001", "CN-1")
                              .Field("003", "http://x")
                              .Field("200", "1 " + Sf("a", Gbk("题名")) + Sf("e", "") + Sf(Gbk("中"), "z"))
                              .Field("606", "0 " + Sf("a", "S") + Sf("x", "x1") + Sf("x", "") + Sf("x", "x3"))
                              .Field("606", "0 " + Sf("a", "T") + Sf("x", "x4"))
                              .Build();

// UTF-8 records say so in 100$a positions 26-27, or in leader position 9,
// or are plainly UTF-8; "中" as a subfield code is then three bytes.
std::string Field100(const std::string& characterSet) {
  return "  " + Sf("a", "20060827d2006    km y0chiy" + characterSet + "20    ea");
}
const std::string kUtf8Text = "中文题名和作者耀";  // eight three-byte characters, one below U+9000
const std::string kStrayInB =
    RecordBuilder().Field("200", "1 " + Sf("a", "x") + Sf("b", std::string("y\x1E") + "z") + Sf("c", "w")).Build();
const std::string kCutShort = RecordBuilder().Field("200", Sf("a", "cut")).WithoutRecordTerminator().Build();
// UTF-8 text, then a stray byte after the last field, as the record's last data byte.
const std::string kStrayAtTheEnd = [] {
  std::string record = RecordBuilder().Field("200", Sf("中", kUtf8Text)).Build();
  return record.insert(record.size() - 1, "\xA0");
}();

const Case kCases[] = {
    // However many entries, in whatever overlap, the work stays in proportion to the record.
    {"entries that all point at one field", ManyEntries(100000, false), "200z*", ""},
    {"entries that overlap", ManyEntries(100000, true), "200a", "v"},
    {"100 says UTF-8", RecordBuilder().Field("100", Field100("50")).Field("200", Sf("中", "值")).Build(), "200中",
     "值"},
    {"the first 100$a says otherwise",
     RecordBuilder()
         .Field("100", Sf("b", Field100("50").substr(4)) + Sf("a", Field100("01").substr(4)) +
                           Sf("a", Field100("50").substr(4)))
         .Field("200", Sf("中", "值"))
         .Build(),
     "200中", ""},
    {"declared GBK, plainly UTF-8",
     RecordBuilder().Field("100", Field100("01")).Field("200", Sf("中", kUtf8Text)).Build(), "200中", kUtf8Text},
    {"declared UTF-8, plainly GBK",
     RecordBuilder().Field("100", Field100("50")).Field("200", Sf(Gbk("中"), Gbk("中华人民共和国图书馆"))).Build(),
     "200中", Gbk("中华人民共和国图书馆")},
    {"declared UTF-8 with a broken byte",
     RecordBuilder().Field("100", Field100("50")).Field("200", Sf("中", kUtf8Text + "\xFF")).Build(), "200中",
     kUtf8Text + "\xFF"},
    {"declared UTF-8 in Cyrillic, valid GBK byte for byte",
     RecordBuilder().Coding('a').Field("200", Sf("中", "Привет, мир")).Build(), "200中", "Привет, мир"},
    {"GBK that is valid UTF-8 in two-byte sequences",
     RecordBuilder().Field("200", Sf(Gbk("山"), Gbk("山水图说山水图说"))).Build(), "200山", Gbk("山水图说山水图说")},
    {"leader 9 says UTF-8", RecordBuilder().Coding('a').Field("200", Sf("中", "值")).Build(), "200中", "值"},
    {"plainly UTF-8", RecordBuilder().Field("200", Sf("中", kUtf8Text)).Build(), "200中", kUtf8Text},
    {"a stray byte right after ASCII", RecordBuilder().Field("200", Sf("中", kUtf8Text + "x\xA0" + "ABCDEFG")).Build(),
     "200中", ""},
    {"a stray byte as the last before the record terminator", kStrayAtTheEnd, "200中", ""},
    {"seven characters are too few to be sure", RecordBuilder().Field("200", Sf("中", kUtf8Text.substr(6))).Build(),
     "200中", ""},
    {"short GBK that is valid UTF-8 stays GBK",
     RecordBuilder().Field("200", Sf(Gbk("摘"), "v") + Sf("a", Gbk("摘要"))).Build(), "200摘", "v"},
    {"first subfield of the first field that has it", kTwo200, "200a", "A2"},
    {"code and item must be exact", kTwo200, "200A", ""},
    {"a tag alone: the whole first field", kTwo200, "200", "1 $ffirst"},
    {"blanks around an item are dropped", kTwo200, " 200a\t", "A2"},
    {"001 whole, whatever the fourth character", kBook, "0019", "CN-1"},
    {"003 is no control field", kBook, "003a", ""},
    {"GBK bytes", kBook, "200a", Gbk("题名")},
    {"empty subfield", kBook, "200e", ""},
    {"two-byte GBK subfield code", kBook, "200中", "z"},
    {"indicators are no subfield", RecordBuilder().Field("200", "ab" + Sf("c", "v")).Build(), "200a", ""},
    {"a code standing alone is empty, not the next subfield",
     RecordBuilder().Field("200", Sf("a", "") + Sf("a", "later")).Build(), "200a", ""},
    {"record type", kBook, "000?", Gbk("文字资料印刷品")},
    {"the last record type of the table", RecordBuilder().Type('v').Build(), "000?", Gbk("善本书")},
    {"record type outside the table", RecordBuilder().Type('h').Build(), "000?", ""},
    {"005 whole too", RecordBuilder().Field("005", "20240101").Build(), "005x", "20240101"},
    {"five characters without a *", kBook, "200ab", ""},
    {"upper-case record type", RecordBuilder().Type('A').Build(), "000?", ""},
    {"a tag byte just past the digits", RecordBuilder().Field(":00", Sf("a", "colon")).Build(), ":00a", "colon"},
    {"nor in the middle", RecordBuilder().Field("2:0", Sf("a", "x")).Field("20:", Sf("a", "y")).Build(), "300a", ""},
    {"nor at the end", RecordBuilder().Field("2:0", Sf("a", "x")).Field("20:", Sf("a", "y")).Build(), "210a", ""},
    {"tag 000 is a tag like any other", RecordBuilder().Field("000", Sf("a", "z")).Build(), "000a", "z"},
    {"tags with a nine", RecordBuilder().Field("690", Sf("a", "I247")).Build(), "690a", "I247"},
    {"the euro sign, one byte in GBK", RecordBuilder().Field("200", Sf("\x80", "euro")).Build(), "200€", "euro"},
    {"the last byte is data when it is no record terminator", kCutShort.substr(0, kCutShort.size() - 1), "200a", "cut"},
    {"every occurrence, empty ones left out", kBook, "606x*", "x1; x3; x4"},
    {"every 001", RecordBuilder().Field("001", "a").Field("001", "").Field("001", "b").Build(), "001a*", "a; b"},
    {"a joined code with none", kBook, "701a*", ""},
    {"refused: directory of 13", RecordBuilder().Field("200", Sf("a", "x")).DirectoryTail("X").Build(), "200a", ""},
    {"refused: no record type either", RecordBuilder().DirectoryTail("X").Build(), "000?", ""},
    {"unreadable: no field terminator", "00000nam  2200000   450 200000500000", "200a", kFails},
    {"unreadable: terminator inside the leader",
     "00000\x1E"
     "am  2200000   450 ",
     "000?", kFails},
    {"unreadable, but not a code anyway", "no terminator", "20", ""},
    {"empty directory", "00000nam  2200000   450 \x1E\x1D", "000?", Gbk("文字资料印刷品")},
    {"unusable Length", RecordBuilder().Field("200", Sf("a", "x")).LengthText(0, "12a4").Build(), "200a", kFails},
    {"negative Length", RecordBuilder().Field("200", Sf("a", "x")).LengthText(0, "-004").Build(), "200a", kFails},
    {"Start at the first byte: the leader read as field",
     RecordBuilder().Field("200", Sf("a", "x")).StartText(0, "-0037").Build(), "200a", ""},
    {"Start before the record", RecordBuilder().Field("200", Sf("a", "x")).StartText(0, "-0099").Build(), "200a",
     kFails},
    {"signed and fractional numbers",
     RecordBuilder().Field("200", Sf("a", "xy")).LengthText(0, "+4.9").StartText(0, " 0   ").Build(), "200a", "xy"},
    {"a bad entry after the value is never read",
     RecordBuilder().Field("200", Sf("a", "x")).Field("200", Sf("a", "y")).LengthText(1, "????").Build(), "200a", "x"},
    {"a bad entry of another tag does no harm",
     RecordBuilder().Field("300", "").Field("200", Sf("a", "x")).LengthText(0, "????").Build(), "200a", "x"},
    {"Start past the end", RecordBuilder().Field("200", Sf("a", "x")).StartText(0, "09999").Build(), "200a", ""},
    {"Length past the end stops before the record terminator",
     RecordBuilder().Field("200", Sf("a", "end")).LengthText(0, "0900").Build(), "200a", "end"},
    {"a last field without its terminator",
     "00000nam  2200000   450 200000500000\x1E"
     "1 \x1F"
     "ax\x1D",
     "200a", "x"},
    {"stray terminators inside a field are deleted",
     RecordBuilder()
         .Field("200",
                "1 \x1F\x1E"
                "ab\x1E"
                "c")
         .LengthText(0, "0009")
         .Build(),
     "200a", "bc"},
    {"a stray terminator in a later subfield", kStrayInB, "200c", "w"},
    {"and the subfield that holds it", kStrayInB, "200b", "yz"},
    {"a subfield of a stray terminator alone is none",
     RecordBuilder().Field("200", "1 \x1F\x1E" + Sf("a", "v")).Build(), "200a", "v"},
    {"a stray terminator among the indicators", RecordBuilder().Field("200", "1\x1E" + Sf("a", "v")).Build(), "200a",
     "v"},
};

TEST(Extraction, EveryWayOfReadingARecord) {
  for (const Case& c : kCases) {
    EXPECT_EQ(GetFieldValue(c.record, c.code), c.value) << c.what;
  }
}

// Columns are read together, sharing fields; each must give what it gives
// on its own.
TEST(Extraction, ColumnsTogetherGiveWhatEachGivesAlone) {
  const std::vector<std::string> items = {"200a", "200e",  "606x",     "606x*", "001a",   "001a*", "000?",
                                          "200a", "606a*", "200",      "",      "0019",   "200a*", "606*",
                                          "001",  "001*",  "200a/0-1", "200a",  "606x/1", "200*",  "606x*/0"};
  static const RecordTypeNames names(TextEncoding::Gbk);
  std::vector<FieldCode> codes;
  for (const std::string& item : items) codes.push_back(ParseFieldCode(item));
  FieldExtractor extractor(codes, names);
  for (const Case& c : kCases) {
    RecordView view;
    view.Build(c.record);
    extractor.Read(view);
    for (std::size_t column = 0; column < items.size(); ++column) {
      EXPECT_EQ(ValueOf(extractor, column), GetFieldValue(c.record, items[column])) << c.what << " " << items[column];
    }
  }
}

// The list's grammar, item by item: what kind of column it makes, its title
// in each header style, and its cells in a GBK record, a UTF-8 one, one with
// a line break inside a field, and one that is refused. A 100$a with Chinese
// characters before position 9 tells characters from bytes in both encodings.
const std::string kGeneralData = "中文数据的通用处理20061234";
const std::string kGrammarRecords[] = {
    RecordBuilder()
        .Field("001", "CN-1")
        .Field("005", "20240101120000.0")
        .Field("100", "  " + Sf("a", Gbk(kGeneralData)))
        .Field("200", "1 " + Sf("a", Gbk("题名")) + Sf("f", Gbk("著者")))
        .Field("200", "1 " + Sf("a", "2nd"))
        .Field("606", "0 " + Sf("a", "S"))
        .Field("606", "0 " + Sf("a", Gbk("主题")))
        .Build(),
    RecordBuilder().Coding('a').Field("001", "U-2").Field("100", "  " + Sf("a", kGeneralData)).Build(),
    RecordBuilder().Field("200", "1 " + Sf("a", "line\rbreak")).Build(),
    RecordBuilder().Field("001", "X").Field("200", Sf("a", "x")).DirectoryTail("X").Build(),
};

struct GrammarCase {
  const char* item;
  FieldCode::Kind kind;
  bool joined;
  const char* titles;  // the name in the header in Chinese, "|", in English ("" for none: the code shows)
  std::string cells;   // of kGrammarRecords, split at "|"
};

using Kind = FieldCode::Kind;
const GrammarCase kGrammar[] = {
    // Today's codes, as they were.
    {"200a", Kind::Subfield, false, "正题名|Title proper", Gbk("题名") + "||line\rbreak|"},
    {"606a*", Kind::Subfield, true, "款目要素（全部）|Entry element (all)", "S; " + Gbk("主题") + "|||"},
    {"0019", Kind::ControlField, false, "记录标识号|Record identifier", "CN-1|U-2||"},
    {"200x", Kind::Subfield, false, "", "|||"},
    {"000?", Kind::RecordType, false, "记录类型|Type of record",
     Gbk("文字资料印刷品") + "|" + Gbk("文字资料印刷品") + "|" + Gbk("文字资料印刷品") + "|"},
    {"200**", Kind::Subfield, true, "", "|||"},                    // subfield code '*'
    {"20/1", Kind::Subfield, false, "", "|||"},                    // tag "20/", subfield code '1'
    {"000?*", Kind::RecordType, false, "记录类型|Type of record",  // a record has one type
     Gbk("文字资料印刷品") + "|" + Gbk("文字资料印刷品") + "|" + Gbk("文字资料印刷品") + "|"},
    // Whole fields.
    {"200", Kind::WholeField, false, "题名与责任说明|Title and statement of responsibility",
     "1 $a" + Gbk("题名") + "$f" + Gbk("著者") + "||1 $aline\rbreak|"},
    {"606*", Kind::WholeField, true, "论题名称主题（全部）|Topical name used as subject (all)",
     "0 $aS; 0 $a" + Gbk("主题") + "|||"},
    {"001", Kind::ControlField, false, "记录标识号|Record identifier", "CN-1|U-2||"},
    {"001*", Kind::ControlField, true, "记录标识号（全部）|Record identifier (all)", "CN-1|U-2||"},
    // Characters, not bytes, in each record's encoding.
    {"100a/9-12", Kind::Subfield, false, "通用处理数据（第9-12位）|General processing data (positions 9-12)",
     "2006|2006||"},
    {"100a/0-1", Kind::Subfield, false, "通用处理数据（第0-1位）|General processing data (positions 0-1)",
     Gbk("中文") + "|中文||"},
    {"100a/4", Kind::Subfield, false, "通用处理数据（第4位）|General processing data (position 4)",
     Gbk("的") + "|的||"},
    {"100a/15-9999", Kind::Subfield, false, "通用处理数据（第15-9999位）|General processing data (positions 15-9999)",
     "34|34||"},
    {"100a/17", Kind::Subfield, false, "通用处理数据（第17位）|General processing data (position 17)", "|||"},
    {"005/0-7", Kind::ControlField, false, "记录版本标识（第0-7位）|Version identifier (positions 0-7)", "20240101|||"},
    // The star before or after the positions.
    {"606a*/0", Kind::Subfield, true, "款目要素（全部）（第0位）|Entry element (all) (position 0)",
     "S; " + Gbk("主") + "|||"},
    {"606a/0*", Kind::Subfield, true, "款目要素（全部）（第0位）|Entry element (all) (position 0)",
     "S; " + Gbk("主") + "|||"},
    {"000#", Kind::RecordNumber, false, "记录号|Record number", "1|2|3|4"},
    // Never a value.
    {"20a", Kind::AlwaysEmpty, false, "", "|||"},
    {"20a*", Kind::AlwaysEmpty, false, "", "|||"},
    {"200ab", Kind::AlwaysEmpty, false, "", "|||"},
    {"100a/x", Kind::AlwaysEmpty, false, "", "|||"},
    {"100a/12-9", Kind::AlwaysEmpty, false, "", "|||"},
    {"100a/10000", Kind::AlwaysEmpty, false, "", "|||"},
    {"100a/", Kind::AlwaysEmpty, false, "", "|||"},
    {"200/0-3", Kind::AlwaysEmpty, false, "", "|||"},  // a data field has no positions
    {"000?/1", Kind::AlwaysEmpty, false, "", "|||"},
    {"606a*/0*", Kind::AlwaysEmpty, false, "", "|||"},
    {"200 a", Kind::AlwaysEmpty, false, "", "|||"},
    {"2OO", Kind::AlwaysEmpty, false, "", "|||"},
    {"", Kind::AlwaysEmpty, false, "", "|||"},
};

TEST(Grammar, EachItemsKindTitlesAndCells) {
  static const RecordTypeNames names(TextEncoding::Gbk);
  std::vector<FieldCode> codes;
  for (const GrammarCase& c : kGrammar) codes.push_back(ParseFieldCode(std::string("\t ") + c.item + "　\r\n"));
  FieldExtractor extractor(codes, names);
  for (std::size_t column = 0; column < codes.size(); ++column) {
    const GrammarCase& c = kGrammar[column];
    const FieldCode& code = codes[column];
    EXPECT_EQ(code.kind, c.kind) << c.item;
    EXPECT_EQ(code.joined, c.joined) << c.item;
    EXPECT_EQ(code.item, c.item);
    const std::vector<std::string> titles = *c.titles != 0 ? Split(c.titles) : std::vector<std::string>{c.item, c.item};
    EXPECT_EQ(ColumnTitle(code, HeaderStyle::Codes, Language::English), c.item);
    EXPECT_EQ(ColumnTitle(code, HeaderStyle::Names, Language::Chinese), titles[0]);
    EXPECT_EQ(ColumnTitle(code, HeaderStyle::Names, Language::English), titles[1]);
    EXPECT_EQ(ColumnTitle(code, HeaderStyle::CodesAndNames, Language::Chinese),
              *c.titles != 0 ? std::string(c.item) + " " + titles[0] : c.item);
    EXPECT_EQ(ItemsThatCannotMatch({c.item}).empty(), c.kind != Kind::AlwaysEmpty) << c.item;
  }
  for (std::size_t record = 0; record < std::size(kGrammarRecords); ++record) {
    RecordView view;
    view.Build(kGrammarRecords[record]);
    extractor.Read(view, static_cast<std::int64_t>(record) + 1);
    for (std::size_t column = 0; column < codes.size(); ++column) {
      EXPECT_EQ(ValueOf(extractor, column), Split(kGrammar[column].cells).at(record))
          << kGrammar[column].item << " in record " << record + 1;
    }
  }
}

// How long the UTF-8 sequence at the start is, 0 for none, and what the
// encoding evidence makes of a text. Each text lies in a buffer of exactly
// its size, so that a read past its end is a fault the address sanitizer sees.
TEST(Extraction, Utf8SequencesEndWhereTheTextEnds) {
  const auto exactly = [](const std::string& text) {
    std::unique_ptr<char[]> exact(new char[text.size()]);
    std::copy(text.begin(), text.end(), exact.get());
    return exact;
  };
  const auto length = [&](const std::string& text) {
    return Utf8SequenceAt(std::string_view(exactly(text).get(), text.size()), 0);
  };
  for (const std::string text : {"a", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80"}) {
    EXPECT_EQ(length(text), text.size()) << Hex(text);
  }
  for (const std::string& text : {std::string("abcdefghij"), std::string("\xE4\xB8\xAD\xE6\x96\x87"), Gbk("中文") + "x",
                                  std::string("ab\xE4\xB8")}) {
    const std::unique_ptr<char[]> exact = exactly(text);
    const std::string_view bytes(exact.get(), text.size());
    EXPECT_EQ(IsPlainlyUtf8(bytes), IsPlainlyUtf8(text)) << Hex(text);
    EXPECT_EQ(IsMostlyNotUtf8(bytes), IsMostlyNotUtf8(text)) << Hex(text);
    EXPECT_EQ(IsValidGbk(bytes), IsValidGbk(text)) << Hex(text);
  }
  // Cut short, overlong, a surrogate, past U+10FFFF, no lead byte.
  for (const std::string text : {"\xE4\xB8", "\xF0\x9F\x98", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                 "\xE0\x9F\xBF", "\xF5\x80\x80\x80", "\x80"}) {
    EXPECT_EQ(length(text), 0u) << Hex(text);
  }
}

}  // namespace
