#include "field_list.h"

#include <gtest/gtest.h>

#include "field_code.h"
#include "gbk_text.h"

using Items = std::vector<std::string>;

TEST(ParseFieldList, DefaultListHasFifteenCodes) {
  EXPECT_EQ(ParseFieldList(DefaultFieldList), (Items{"010a", "010d", "101a", "200a", "200f", "200g", "210a", "210c",
                                                     "210d", "215a", "215d", "225a", "330a", "606a", "690a"}));
}

TEST(ParseFieldList, FullWidthCommaSeparatesToo) {
  EXPECT_EQ(ParseFieldList("010a，200a"), (Items{"010a", "200a"}));
}

TEST(ParseFieldList, EmptyItemsStayAndNothingIsTrimmed) {
  EXPECT_EQ(ParseFieldList("010a,,200a"), (Items{"010a", "", "200a"}));
  EXPECT_EQ(ParseFieldList("010a,"), (Items{"010a", ""}));
  EXPECT_EQ(ParseFieldList(","), (Items{"", ""}));
  EXPECT_EQ(ParseFieldList(" 200a,200A,200a"), (Items{" 200a", "200A", "200a"}));
}

TEST(ParseFieldList, EmptyTextGivesNoColumns) {
  EXPECT_TRUE(ParseFieldList("").empty());
  EXPECT_TRUE(ParseFieldList("\r\n").empty());
}

TEST(ParseFieldList, CrLfPairsJoinButLoneBreaksStay) {
  EXPECT_EQ(ParseFieldList("200a,215\r\nd"), (Items{"200a", "215d"}));
  EXPECT_EQ(ParseFieldList("200a,\r\n215d"), (Items{"200a", "215d"}));
  EXPECT_EQ(ParseFieldList("200a\r,\n215d"), (Items{"200a\r", "\n215d"}));
  EXPECT_EQ(ParseFieldList("200a\n\r215d"), (Items{"200a\n\r215d"}));
}

TEST(ParseFieldCode, HeaderIsTheItemInGbk) {
  EXPECT_EQ(ParseFieldCode("200a").header, "200a");
  EXPECT_EQ(ParseFieldCode(" 200a").header, " 200a");
  EXPECT_EQ(ParseFieldCode("题名").header, Gbk("题名"));
  EXPECT_EQ(ParseFieldCode("200a").kind, FieldCode::Kind::Subfield);
  EXPECT_EQ(ParseFieldCode("001a").kind, FieldCode::Kind::ControlField);
  EXPECT_EQ(ParseFieldCode("000?").kind, FieldCode::Kind::RecordType);
  EXPECT_EQ(ParseFieldCode("000!").kind, FieldCode::Kind::Subfield);
}

TEST(ParseFieldCode, CodesAreCountedInCharacters) {
  // Four characters, one of them two GBK bytes: a code.
  EXPECT_EQ(ParseFieldCode("900甲").kind, FieldCode::Kind::Subfield);
  EXPECT_EQ(ParseFieldCode("900甲").subfieldCode, Gbk("甲"));
  // Four bytes but three characters, or a tag that cannot be three bytes: never matches.
  EXPECT_EQ(ParseFieldCode("90甲").kind, FieldCode::Kind::AlwaysEmpty);
  EXPECT_EQ(ParseFieldCode("9甲0a").kind, FieldCode::Kind::AlwaysEmpty);
  // No GBK form: a column of empty cells, its header with question marks
  // (one per UTF-16 unit, as Windows writes it).
  EXPECT_EQ(ParseFieldCode("200\xF0\x9F\x98\x80").kind, FieldCode::Kind::AlwaysEmpty);
  EXPECT_EQ(ParseFieldCode("200\xF0\x9F\x98\x80").header, "200??");
  EXPECT_EQ(ParseFieldCode("200\xE2\x82\xA9").header, "200?");  // the won sign, one unit
}
