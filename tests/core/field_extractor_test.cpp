#include "field_extractor.h"

#include <gtest/gtest.h>

#include "gbk_text.h"
#include "record_builder.h"

namespace {

std::string Value(const std::string& record, const std::string& code) {
  const std::optional<std::string> value = GetFieldValue(record, code);
  EXPECT_TRUE(value.has_value()) << code;
  return value.value_or("<failed>");
}

bool Fails(const std::string& record, const std::string& code) { return !GetFieldValue(record, code).has_value(); }

}  // namespace

TEST(GetFieldValue, RepeatedFieldsAndSubfieldsAreNeverJoined) {
  const std::string record = RecordBuilder()
                                 .Field("200", "1 " + Sf("e", "sub"))
                                 .Field("200", "1 " + Sf("a", "second") + Sf("a", "third"))
                                 .Field("606", "0 " + Sf("a", "topic") + Sf("x", "one") + Sf("x", "two"))
                                 .Build();
  EXPECT_EQ(Value(record, "200a"), "second");
  EXPECT_EQ(Value(record, "200e"), "sub");
  EXPECT_EQ(Value(record, "606x"), "one");
}

TEST(GetFieldValue, ControlFieldsAreWholeAndOtherZeroTagsAreDataFields) {
  const std::string record = RecordBuilder()
                                 .Field("001", "CAL 012000001")
                                 .Field("003", "http://example.org/1")
                                 .Field("005", "20240101120000.0")
                                 .Build();
  EXPECT_EQ(Value(record, "001a"), "CAL 012000001");
  EXPECT_EQ(Value(record, "0019"), "CAL 012000001");
  EXPECT_EQ(Value(record, "005x"), "20240101120000.0");
  EXPECT_EQ(Value(record, "003a"), "");
  EXPECT_EQ(Value(record, "001\xF0\x9F\x98\x80"), "CAL 012000001");  // even a fourth character without GBK form
}

TEST(GetFieldValue, RecordTypeNameFromTheLeader) {
  const std::string field = "1 " + Sf("a", "t");
  EXPECT_EQ(Value(RecordBuilder().Type('a').Field("200", field).Build(), "000?"),
            "\xCE\xC4\xD7\xD6\xD7\xCA\xC1\xCF\xD3\xA1\xCB\xA2\xC6\xB7");  // 文字资料印刷品
  EXPECT_EQ(Value(RecordBuilder().Type('l').Build(), "000?"), Gbk("计算机存储介质"));
  EXPECT_EQ(Value(RecordBuilder().Type('v').Build(), "000?"), Gbk("善本书"));
  EXPECT_EQ(Value(RecordBuilder().Type('h').Build(), "000?"), "");
  EXPECT_EQ(Value(RecordBuilder().Type('A').Build(), "000?"), "");
  EXPECT_EQ(Value(RecordBuilder().Type('a').Field("200", field).Build(), "000a"), "");
}

TEST(GetFieldValue, EveryTypeLetterHasItsName) {
  const std::pair<char, const char*> table[] = {
      {'a', "文字资料印刷品"}, {'b', "文字资料手稿"},     {'c', "乐谱印刷品"},     {'d', "乐谱手稿"},
      {'e', "测绘资料印刷品"}, {'f', "测绘资料手稿"},     {'g', "放映和视频资料"}, {'i', "非音乐性录音资料"},
      {'j', "音乐性录音资料"}, {'k', "二维图形"},         {'l', "计算机存储介质"}, {'m', "多媒体"},
      {'r', "三维制品和教具"}, {'u', "拓片"},             {'v', "善本书"}};
  for (const auto& [letter, name] : table) {
    EXPECT_EQ(Value(RecordBuilder().Type(letter).Build(), "000?"), Gbk(name)) << letter;
  }
  for (char letter : std::string("hnopqstwxyz ")) {
    EXPECT_EQ(Value(RecordBuilder().Type(letter).Build(), "000?"), "") << letter;
  }
}

TEST(GetFieldValue, ChineseTextAndTwoByteSubfieldCodes) {
  const std::string record = RecordBuilder()
                                 .Field("200", "1 " + Sf("a", Gbk("中文题名")) + Sf("f", Gbk("张三")))
                                 .Field("900", "  " + Sf(Gbk("甲"), Gbk("值")) + Sf("b", "x"))
                                 .Field("901", "  " + Sf("\x81", "a-trail") + Sf("a", "plain"))
                                 .Build();
  EXPECT_EQ(Value(record, "200a"), Gbk("中文题名"));
  EXPECT_EQ(Value(record, "200f"), Gbk("张三"));
  // A subfield code is one character in GBK terms: two bytes here.
  EXPECT_EQ(Value(record, "900甲"), Gbk("值"));
  EXPECT_EQ(Value(record, "900b"), "x");
  // 0x81 0x61 is one character (乤), although its trail byte is the letter a.
  EXPECT_EQ(Value(record, "901乤"), "-trail");
  EXPECT_EQ(Value(record, "901a"), "plain");
}

TEST(GetFieldValue, IndicatorsAndEmptyOrBlankValues) {
  const std::string record =
      RecordBuilder().Field("200", "ab" + Sf("a", "") + Sf("c", "  padded  ") + Sf("", "") + Sf("d", "tab\there")).Build();
  EXPECT_EQ(Value(record, "200a"), "");
  EXPECT_EQ(Value(record, "200b"), "");  // only in the indicators
  EXPECT_EQ(Value(record, "200c"), "  padded  ");
  EXPECT_EQ(Value(record, "200d"), "tab\there");  // tabs go only when the cell is written
}

TEST(GetFieldValue, FieldTerminatorsInsideFieldDataAreDeleted) {
  const std::string record = RecordBuilder().Field("200", "1 " + Sf("a", "ab\x1E" "cd")).Build();
  EXPECT_EQ(Value(record, "200a"), "abcd");
  // A Length running past its field takes in the next field's terminator too.
  const std::string longer = RecordBuilder().Field("001", "one").Field("002", "two").LengthText(0, "0008").Build();
  EXPECT_EQ(Value(longer, "001a"), "onetwo");
}

TEST(GetFieldValue, MalformedCodesGiveEmptyValuesEvenOnUnreadableRecords) {
  const std::string record = RecordBuilder().Field("200", "1 " + Sf("a", "t")).Build();
  EXPECT_EQ(Value(record, "200A"), "");  // case matters
  for (const char* code : {"", "200", " 200a", "200aa", "200中文"}) {
    EXPECT_EQ(Value(record, code), "") << code;
    EXPECT_EQ(Value("not a record", code), "") << code;
  }
  EXPECT_EQ(Value("", "200a"), "");
}

TEST(GetFieldValue, EmptyDirectoryStillHasItsType) {
  const std::string record = RecordBuilder().Type('m').Build();
  EXPECT_EQ(Value(record, "200a"), "");
  EXPECT_EQ(Value(record, "000?"), Gbk("多媒体"));
}

TEST(GetFieldValue, RefusedRecordGivesEmptyValuesTypeIncluded) {
  const std::string record = RecordBuilder().Type('a').Field("200", "1 " + Sf("a", "t")).DirectoryTail("X").Build();
  EXPECT_EQ(Value(record, "200a"), "");
  EXPECT_EQ(Value(record, "000?"), "");
}

TEST(GetFieldValue, UnreadableRecordFails) {
  EXPECT_TRUE(Fails("no field terminator anywhere in this line", "200a"));
  EXPECT_TRUE(Fails("short\x1E", "000?"));
  EXPECT_TRUE(Fails("00026nam  2200025   45\x1E" "0\x1E\x1D", "200a"));
}

TEST(GetFieldValue, BadNumbersFailOnlyWhenTheirTagIsAskedFor) {
  const std::string record = RecordBuilder()
                                 .Field("200", "1 " + Sf("a", "title"))
                                 .Field("606", "0 " + Sf("a", "topic"))
                                 .Field("690", "  " + Sf("a", "I247"))
                                 .LengthText(1, "12a4")
                                 .StartText(2, "-0012")
                                 .Build();
  EXPECT_EQ(Value(record, "200a"), "title");
  EXPECT_TRUE(Fails(record, "606a"));
  EXPECT_EQ(Value(record, "000?"), Gbk("文字资料印刷品"));
  // Lands inside the directory: read from there, no subfield $a found.
  EXPECT_EQ(Value(record, "690a"), "");
  EXPECT_TRUE(Fails(RecordBuilder().Field("200", "x").LengthText(0, "-012").Build(), "200a"));
  EXPECT_TRUE(Fails(RecordBuilder().Field("200", "x").StartText(0, "-9999").Build(), "200a"));
  EXPECT_TRUE(Fails(RecordBuilder().Field("200", "x").StartText(0, "1e3  ").Build(), "200a"));
}

TEST(GetFieldValue, StartBeyondEndIsEmptyAndLengthPastEndIsCut) {
  EXPECT_EQ(Value(RecordBuilder().Field("001", "abc").StartText(0, "99999").Build(), "001a"), "");
  EXPECT_EQ(Value(RecordBuilder().Field("200", "1 " + Sf("a", "abc")).LengthText(0, "9999").WithoutRecordTerminator().Build(),
                  "200a"),
            "abc");
}

TEST(GetFieldValue, TheRecordTerminatorIsNoPartOfAWellFormedField) {
  const std::string record = RecordBuilder().Field("001", "id").Field("200", "1 " + Sf("a", "last")).Build();
  EXPECT_EQ(Value(record, "200a"), "last");
}

TEST(GetFieldValue, OnlyTheFirstOfSeveralRecordsOnOneLineIsSeen) {
  const std::string first = RecordBuilder().Field("200", "1 " + Sf("a", "first")).Build();
  const std::string second = RecordBuilder().Field("200", "1 " + Sf("a", "second")).Build();
  EXPECT_EQ(Value(first + second, "200a"), "first");
}

TEST(GetFieldValue, BytesThatAreNotGbkPassThrough) {
  const std::string odd = "\x80\xFF\x81";
  const std::string record = RecordBuilder().Field("200", "1 " + Sf("a", odd)).Build();
  EXPECT_EQ(Value(record, "200a"), odd);
}

TEST(FieldExtractor, SameValuesWhenTheViewAndExtractorAreReused) {
  const std::string one = RecordBuilder().Field("200", "1 " + Sf("a", "a\x1E" "b")).Build();
  const std::string two = RecordBuilder().Field("200", "1 " + Sf("a", "plain")).Build();
  RecordView view;
  FieldExtractor extractor({ParseFieldCode("200a")});
  std::string_view value;
  view.Build(one);
  extractor.Read(view);
  ASSERT_TRUE(extractor.Value(0, value));
  EXPECT_EQ(value, "ab");
  view.Build(two);
  extractor.Read(view);
  ASSERT_TRUE(extractor.Value(0, value));
  EXPECT_EQ(value, "plain");
}

// Columns that share a field read it once; each still finds its own value,
// and a bad entry fails only the columns that reach it.
TEST(FieldExtractor, ColumnsSharingFieldsAgreeWithSingleCodes) {
  const std::string record = RecordBuilder()
                                 .Field("200", "1 " + Sf("b", "x"))
                                 .Field("606", "0 " + Sf("a", "one\x1E") + Sf("x", "a"))
                                 .Field("200", "1 " + Sf("a", "t") + Sf("f", "au"))
                                 .Field("606", "0 " + Sf("a", "two") + Sf("y", "b"))
                                 .Field("001", "id")
                                 .Build();
  const std::vector<std::string> items = {"200a", "606y", "200f", "606a", "001x", "200b", "000?", "20", "606z"};
  std::vector<FieldCode> codes;
  for (const std::string& item : items) codes.push_back(ParseFieldCode(item));
  RecordView view;
  view.Build(record);
  FieldExtractor extractor(codes);
  extractor.Read(view);
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::string_view value;
    ASSERT_TRUE(extractor.Value(i, value)) << items[i];
    EXPECT_EQ(std::optional<std::string>(std::string(value)), GetFieldValue(record, items[i])) << items[i];
  }
}
