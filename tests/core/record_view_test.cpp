#include "record_view.h"

#include <gtest/gtest.h>

#include "record_builder.h"

namespace {

RecordView ViewOf(const std::string& record) {
  RecordView view;
  view.Build(record);
  return view;
}

}  // namespace

TEST(RecordView, ReadsLeaderTypeAndDirectoryInOrder) {
  const std::string record = RecordBuilder().Type('c').Field("200", "1 " + Sf("a", "x")).Field("010", "  ").Build();
  const RecordView view = ViewOf(record);
  ASSERT_EQ(view.Status(), ViewStatus::Ok);
  EXPECT_EQ(view.TypeOfRecord(), 'c');
  ASSERT_EQ(view.Entries().size(), 2u);
  EXPECT_EQ(view.Entries()[0].Tag, "200");
  EXPECT_EQ(view.Entries()[0].Length, "0006");
  EXPECT_EQ(view.Entries()[0].Start, "00000");
  EXPECT_EQ(view.Entries()[1].Tag, "010");
  EXPECT_EQ(view.Entries()[1].Start, "00006");
}

TEST(RecordView, FieldDataIsCutByBytesFromTheBase) {
  // Four GBK characters and the terminator: a Length of 9.
  const std::string chinese = "\xD6\xD0\xCE\xC4\xCC\xE2\xC3\xFB";
  const std::string record = RecordBuilder().Field("001", "abc").Field("300", chinese).Build();
  const RecordView view = ViewOf(record);
  ASSERT_EQ(view.Entries().size(), 2u);
  EXPECT_EQ(view.Entries()[1].Length, "0009");
  const FieldSlice slice = view.FieldData(view.Entries()[1]);
  EXPECT_TRUE(slice.ok);
  EXPECT_EQ(slice.bytes, chinese + "\x1E");
}

TEST(RecordView, EmptyDirectoryIsValid) {
  const RecordView view = ViewOf(RecordBuilder().Build());
  EXPECT_EQ(view.Status(), ViewStatus::Ok);
  EXPECT_TRUE(view.Entries().empty());
}

TEST(RecordView, DirectoryNotAMultipleOf12IsRefused) {
  // 13 bytes of directory: one entry and a stray byte.
  EXPECT_EQ(ViewOf(RecordBuilder().Field("200", "x").DirectoryTail("X").Build()).Status(), ViewStatus::Refused);
  EXPECT_EQ(ViewOf(RecordBuilder().DirectoryTail("0").Build()).Status(), ViewStatus::Refused);
}

TEST(RecordView, NoTerminatorOrOneInsideTheLeaderFails) {
  EXPECT_EQ(ViewOf("").Status(), ViewStatus::Failed);
  EXPECT_EQ(ViewOf("00026nam  2200025   450 ").Status(), ViewStatus::Failed);
  EXPECT_EQ(ViewOf(std::string(100, 'x')).Status(), ViewStatus::Failed);
  // The first 0x1E at byte 24 (inside the leader).
  EXPECT_EQ(ViewOf("00026nam  2200025   45\x1E" "0\x1E\x1D").Status(), ViewStatus::Failed);
  // Without the directory's own terminator the first field's one ends the
  // directory: 14 bytes, refused rather than read.
  EXPECT_EQ(ViewOf(RecordBuilder().Field("200", "ab").WithoutDirectoryTerminator().Build()).Status(),
            ViewStatus::Refused);
}

TEST(RecordView, NoLimitOnTheDirectoryEnd) {
  // 3000 entries: the directory ends far beyond 32766 bytes.
  RecordBuilder builder;
  for (int i = 0; i < 3000; ++i) builder.Field("700", Sf("a", std::to_string(i)));
  builder.Field("200", Sf("a", "last"));
  const std::string record = builder.Build();
  const RecordView view = ViewOf(record);
  ASSERT_EQ(view.Status(), ViewStatus::Ok);
  ASSERT_EQ(view.Entries().size(), 3001u);
  const FieldSlice slice = view.FieldData(view.Entries().back());
  EXPECT_TRUE(slice.ok);
  EXPECT_EQ(slice.bytes, Sf("a", "last") + "\x1E");
}

TEST(RecordView, StartBeyondTheEndGivesNoDataAndLengthPastTheEndIsCut) {
  const std::string record =
      RecordBuilder().Field("200", Sf("a", "abc")).Field("300", "xyz").StartText(0, "09999").LengthText(1, "0999").Build();
  const RecordView view = ViewOf(record);
  const FieldSlice beyond = view.FieldData(view.Entries()[0]);
  EXPECT_TRUE(beyond.ok);
  EXPECT_TRUE(beyond.bytes.empty());
  const FieldSlice past = view.FieldData(view.Entries()[1]);
  EXPECT_TRUE(past.ok);
  EXPECT_EQ(past.bytes, "xyz\x1E\x1D");
}

TEST(RecordView, BadNumbersFailOnlyTheEntryThatIsRead) {
  const std::string record = RecordBuilder()
                                 .Field("200", "a")
                                 .Field("300", "b")
                                 .Field("400", "c")
                                 .Field("500", "d")
                                 .LengthText(0, "12a4")
                                 .LengthText(1, "-012")
                                 .StartText(2, "     ")
                                 .Build();
  const RecordView view = ViewOf(record);
  ASSERT_EQ(view.Status(), ViewStatus::Ok);
  EXPECT_FALSE(view.FieldData(view.Entries()[0]).ok);
  EXPECT_FALSE(view.FieldData(view.Entries()[1]).ok);
  EXPECT_FALSE(view.FieldData(view.Entries()[2]).ok);
  EXPECT_TRUE(view.FieldData(view.Entries()[3]).ok);
}

TEST(RecordView, StartBeforeTheFirstByteFails) {
  const std::string record = RecordBuilder().Field("200", "a").StartText(0, "-9999").Build();
  const RecordView view = ViewOf(record);
  EXPECT_FALSE(view.FieldData(view.Entries()[0]).ok);
  // A negative Start that still lands inside the record is read from there.
  const std::string inside = RecordBuilder().Field("200", "a").StartText(0, "-0001").Build();
  const RecordView insideView = ViewOf(inside);
  const FieldSlice slice = insideView.FieldData(insideView.Entries()[0]);
  EXPECT_TRUE(slice.ok);
  EXPECT_EQ(slice.bytes, "\x1E" "a");
}
