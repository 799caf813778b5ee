#include "conversion_run.h"

#include <gtest/gtest.h>

#include "conversation.h"
#include "fake_run_window.h"
#include "gbk_text.h"
#include "record_builder.h"
#include "temp_folder.h"

namespace {

std::string Record(const std::string& title, const std::string& author = "") {
  return RecordBuilder().Field("001", "id-" + title).Field("200", "1 " + Sf("a", title) + Sf("f", author)).Build();
}

class ConversionRun : public ::testing::Test {
 protected:
  void SetUp() override {
    window.inputPath = input;
    window.savePath = output;
    window.fieldList = "200a,200f";
  }

  RunSummary Run() { return RunConversion(window, LocalFileSystem()); }

  TempFolder folder;
  std::string input = folder.File("in.iso");
  std::string output = folder.File("out.txt");
  FakeRunWindow window;
};

}  // namespace

TEST_F(ConversionRun, ConvertsEveryRecordIntoOneLineAndTellsTheUser) {
  WriteBytes(input, Record(Gbk("题名"), Gbk("张三")) + "\r\n" + Record("B") + "\r\n" + Record("C", "x"));
  window.fieldList = "200a，200f,000?";
  const RunSummary summary = Run();

  EXPECT_EQ(summary.outcome, RunSummary::Outcome::Completed);
  EXPECT_EQ(summary.records, 3);
  EXPECT_EQ(summary.malformed, 0);
  EXPECT_EQ(window.calls, StartOfRunThen({"ChooseSaveFile", Progress(1), Progress(2), Progress(3), kFinished,
                                               "SetStartEnabled(true)"}));
  const std::string type = Gbk("文字资料印刷品");
  EXPECT_EQ(ReadBytes(output), "200a\t200f\t000?\t\r\n" +
                                   Gbk("题名") + "\t" + Gbk("张三") + "\t" + type + "\t\r\n" +
                                   "B\t\t" + type + "\t\r\n" +
                                   "C\tx\t" + type + "\t\r\n");
  EXPECT_EQ(window.labelCaption, "正在预读数据，目前已完成3条.....");
  EXPECT_TRUE(window.startEnabled);
}

TEST_F(ConversionRun, DefaultListGivesFifteenColumns) {
  const std::string record = RecordBuilder()
                                 .Field("010", "  " + Sf("a", "978-7-01") + Sf("d", "CNY25.00"))
                                 .Field("200", "1 " + Sf("a", "T"))
                                 .Field("690", "  " + Sf("a", "I247"))
                                 .Build();
  WriteBytes(input, record);
  window.fieldList = "010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,225a,330a,606a,690a";
  Run();
  EXPECT_EQ(ReadBytes(output),
            "010a\t010d\t101a\t200a\t200f\t200g\t210a\t210c\t210d\t215a\t215d\t225a\t330a\t606a\t690a\t\r\n"
            "978-7-01\tCNY25.00\t\tT\t\t\t\t\t\t\t\t\t\t\tI247\t\r\n");
}

TEST_F(ConversionRun, BlankLinesAreNoRecords) {
  WriteBytes(input, "\r\n\r\n" + Record("A") + "\r\n\r\n\r\r\n" + Record("B") + "\r\n\r\n");
  const RunSummary summary = Run();
  EXPECT_EQ(summary.records, 2);
  EXPECT_EQ(ReadBytes(output), "200a\t200f\t\r\nA\t\t\r\nB\t\t\r\n");
}

TEST_F(ConversionRun, RecordsWithoutLineBreaksAreAllConverted) {
  WriteBytes(input, Record("A") + Record("B") + Record("C"));
  window.fieldList = "200a";
  EXPECT_EQ(Run().records, 3);
  EXPECT_EQ(ReadBytes(output), "200a\t\r\nA\t\r\nB\t\r\nC\t\r\n");
}

TEST_F(ConversionRun, TabsAreDeletedFromValuesAndLineFeedsKept) {
  WriteBytes(input, RecordBuilder().Field("200", "1 " + Sf("a", "\tA\tB\t") + Sf("f", "x\ny")).Build());
  Run();
  EXPECT_EQ(ReadBytes(output), "200a\t200f\t\r\nAB\tx\ny\t\r\n");
}

TEST_F(ConversionRun, AppendingTwiceGivesTwoHeaders) {
  WriteBytes(input, Record("A"));
  Run();
  FakeRunWindow second;
  second.inputPath = input;
  second.savePath = output;
  second.fieldList = "001a";
  RunConversion(second, LocalFileSystem());
  EXPECT_EQ(second.calls, StartOfRunThen({"ChooseSaveFile", kAskAppend, Progress(1), kFinished, "SetStartEnabled(true)"}));
  EXPECT_EQ(ReadBytes(output), "200a\t200f\t\r\nA\t\t\r\n001a\t\r\nid-A\t\r\n");
}

TEST_F(ConversionRun, NoToAppendLeavesTheFileAsItWas) {
  WriteBytes(input, Record("A"));
  const std::string existing = std::string("old\r\ncontent\n\x80\xFF");
  WriteBytes(output, existing);
  window.answers = {Answer::Yes, Answer::No};
  EXPECT_EQ(Run().outcome, RunSummary::Outcome::Declined);
  EXPECT_EQ(window.calls, StartOfRunThen({"ChooseSaveFile", kAskAppend, "SetStartEnabled(true)"}));
  EXPECT_EQ(ReadBytes(output), existing);
}

TEST_F(ConversionRun, EmptyFieldListGivesEmptyLinesAndStillCounts) {
  WriteBytes(input, Record("A") + "\r\n" + Record("B"));
  window.fieldList = "";
  EXPECT_EQ(Run().records, 2);
  EXPECT_EQ(ReadBytes(output), "\r\n\r\n\r\n");
  EXPECT_EQ(window.labelCaption, "正在预读数据，目前已完成2条.....");
}

TEST_F(ConversionRun, OddItemsAreColumnsOfEmptyCells) {
  WriteBytes(input, Record("A"));
  window.fieldList = " 200a,200,,200a";
  Run();
  EXPECT_EQ(ReadBytes(output), " 200a\t200\t\t200a\t\r\n\t\t\tA\t\r\n");
}

TEST_F(ConversionRun, InputOfOnlyEmptyLinesGivesTheHeaderAlone) {
  WriteBytes(input, "\r\n\r\n\r\r\n");
  const RunSummary summary = Run();
  EXPECT_EQ(summary.records, 0);
  EXPECT_EQ(window.calls, StartOfRunThen({"ChooseSaveFile", kFinished, "SetStartEnabled(true)"}));
  EXPECT_EQ(window.labelCaption, "");
  EXPECT_EQ(ReadBytes(output), "200a\t200f\t\r\n");
}

TEST_F(ConversionRun, MissingInputDoesNothingAtAll) {
  window.inputPath = folder.File("missing.iso");
  EXPECT_EQ(Run().outcome, RunSummary::Outcome::NotStarted);
  EXPECT_EQ(window.calls, Calls(1, "InputPathText"));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(output)));

  FakeRunWindow empty;
  EXPECT_EQ(RunConversion(empty, LocalFileSystem()).outcome, RunSummary::Outcome::NotStarted);
  EXPECT_EQ(empty.calls, Calls(1, "InputPathText"));
}

TEST_F(ConversionRun, NoToTheConfirmationSavesTheListAndCreatesNoFile) {
  WriteBytes(input, Record("A"));
  window.answers = {Answer::No};
  EXPECT_EQ(Run().outcome, RunSummary::Outcome::Declined);
  EXPECT_EQ(window.calls, StartOfRunThen({"SetStartEnabled(true)"}));
  EXPECT_TRUE(window.labelVisible);
  EXPECT_TRUE(window.startEnabled);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(output)));
}

TEST_F(ConversionRun, CancelledSaveDialogEndsTheRun) {
  WriteBytes(input, Record("A"));
  window.savePath = "";
  EXPECT_EQ(Run().outcome, RunSummary::Outcome::Declined);
  EXPECT_EQ(window.calls, StartOfRunThen({"ChooseSaveFile", "SetStartEnabled(true)"}));
}

TEST_F(ConversionRun, ClosingTheWindowStopsAtALineBoundary) {
  WriteBytes(input, Record("A") + "\r\n" + Record("B") + "\r\n" + Record("C"));
  window.closeAtProgress = 2;
  EXPECT_EQ(Run().outcome, RunSummary::Outcome::Stopped);
  EXPECT_EQ(window.calls, StartOfRunThen({"ChooseSaveFile", Progress(1), Progress(2)}));
  EXPECT_EQ(ReadBytes(output), "200a\t200f\t\r\nA\t\t\r\nB\t\t\r\n");
}

TEST_F(ConversionRun, MalformedRecordsKeepTheColumnsAligned) {
  const std::string good = Record("A", "a");
  const std::string refused = RecordBuilder().Field("200", "1 " + Sf("a", "R")).DirectoryTail("X").Build();
  const std::string badLength =
      RecordBuilder().Field("200", "1 " + Sf("a", "L")).Field("300", Sf("a", "ok")).LengthText(0, "12a4").Build();
  const std::string unreadable = "no terminator at all";
  WriteBytes(input, good + "\r\n" + refused + "\r\n" + badLength + "\r\n" + unreadable + "\r\n" + good);
  window.fieldList = "200a,300a,000?";
  const RunSummary summary = Run();

  const std::string type = Gbk("文字资料印刷品");
  EXPECT_EQ(ReadBytes(output), "200a\t300a\t000?\t\r\n"
                               "A\t\t" + type + "\t\r\n"
                               "\t\t\t\r\n"
                               "\tok\t" + type + "\t\r\n"
                               "\t\t\t\r\n"
                               "A\t\t" + type + "\t\r\n");
  EXPECT_EQ(summary.records, 5);
  EXPECT_EQ(summary.malformed, 3);
  ASSERT_EQ(summary.firstMalformed.size(), 3u);
  const std::uint64_t second = good.size() + 2;
  EXPECT_EQ(summary.firstMalformed[0].number, 2);
  EXPECT_EQ(summary.firstMalformed[0].offset, second);
  EXPECT_EQ(summary.firstMalformed[0].kind, MalformedKind::Refused);
  EXPECT_EQ(summary.firstMalformed[1].number, 3);
  EXPECT_EQ(summary.firstMalformed[1].offset, second + refused.size() + 2);
  EXPECT_EQ(summary.firstMalformed[1].kind, MalformedKind::BadCell);
  EXPECT_EQ(summary.firstMalformed[2].number, 4);
  EXPECT_EQ(summary.firstMalformed[2].kind, MalformedKind::Unreadable);
}

TEST_F(ConversionRun, OnlyTheFirstMalformedRecordsAreKept) {
  std::string bytes;
  for (int i = 0; i < 25; ++i) bytes += "junk\r\n";
  WriteBytes(input, bytes);
  const RunSummary summary = Run();
  EXPECT_EQ(summary.malformed, 25);
  ASSERT_EQ(summary.firstMalformed.size(), kMalformedRecordsKept);
  EXPECT_EQ(summary.firstMalformed.back().offset, 6 * (kMalformedRecordsKept - 1));
}

TEST_F(ConversionRun, PathsWithChineseCharacters) {
  input = folder.File("输入.iso");
  output = folder.File("输出.txt");
  window.inputPath = input;
  window.savePath = output;
  WriteBytes(input, Record("A"));
  EXPECT_EQ(Run().outcome, RunSummary::Outcome::Completed);
  EXPECT_EQ(ReadBytes(output), "200a\t200f\t\r\nA\t\t\r\n");
}
