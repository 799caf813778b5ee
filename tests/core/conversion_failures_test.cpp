// Files that cannot be opened, read or written end the run with an error box
// naming the file and the reason, and the start button comes back.
#include <gtest/gtest.h>

#include "conversation.h"
#include "conversion_run.h"
#include "fake_run_window.h"
#include "memory_files.h"
#include "record_builder.h"
#include "temp_folder.h"

namespace {

std::string Record(const std::string& title) { return RecordBuilder().Field("200", "1 " + Sf("a", title)).Build(); }

}  // namespace

TEST(ConversionFailures, InputThatCannotBeOpened) {
  TempFolder folder;
  const std::string input = folder.File("a-folder.iso");
  std::filesystem::create_directory(std::filesystem::u8path(input));
  FakeRunWindow window;
  window.inputPath = input;
  window.savePath = folder.File("out.txt");
  window.fieldList = "200a";
  const RunSummary summary = RunConversion(window, LocalFileSystem());

  EXPECT_EQ(summary.outcome, RunSummary::Outcome::Failed);
  const std::string message = "无法打开输入文件：" + input + "（这是一个文件夹）";
  EXPECT_EQ(summary.error, message);
  EXPECT_EQ(window.calls, StartOfRunThen({"ChooseSaveFile", ErrorBox(message), "SetStartEnabled(true)"}));
}

TEST(ConversionFailures, OutputInAMissingFolder) {
  TempFolder folder;
  const std::string input = folder.File("in.iso");
  WriteBytes(input, Record("A"));
  FakeRunWindow window;
  window.inputPath = input;
  window.savePath = folder.File("missing") + "/out.txt";
  window.fieldList = "200a";
  RunConversion(window, LocalFileSystem());

  const std::string message = "无法创建输出文件：" + window.savePath + "（文件不存在）";
  EXPECT_EQ(window.calls, StartOfRunThen({"ChooseSaveFile", ErrorBox(message), "SetStartEnabled(true)"}));
}

TEST(ConversionFailures, ReadErrorKeepsTheLinesWrittenSoFar) {
  TempFolder folder;
  const std::string input = folder.File("in.iso");
  const std::string output = folder.File("out.txt");
  WriteBytes(input, "");  // exists; the bytes come from the failing file system
  const std::string bytes = Record("A") + "\r\n" + Record("B") + "\r\n" + Record("C") + "\r\n";
  FailingReadFileSystem files(bytes, bytes.size() - 5);
  FakeRunWindow window;
  window.inputPath = input;
  window.savePath = output;
  window.fieldList = "200a";
  const RunSummary summary = RunConversion(window, files);

  EXPECT_EQ(summary.outcome, RunSummary::Outcome::Failed);
  EXPECT_EQ(summary.records, 2);
  const std::string message = "无法读取输入文件：" + input + "（读写错误）";
  EXPECT_EQ(window.calls, StartOfRunThen({"ChooseSaveFile", Progress(1), Progress(2), ErrorBox(message),
                                               "SetStartEnabled(true)"}));
  EXPECT_EQ(ReadBytes(output), "200a\t\r\nA\t\r\nB\t\r\n");
}

// Appending to the file being read would read back the lines just written,
// and a wide field list would make the file grow without end.
TEST(ConversionFailures, OutputThatIsTheInputIsRefusedAndLeftAlone) {
  TempFolder folder;
  const std::string input = folder.File("in.iso");
  const std::string bytes = Record("A") + "\r\n";
  WriteBytes(input, bytes);
  FakeRunWindow window;
  window.inputPath = input;
  window.savePath = folder.File(".") + "/in.iso";  // another spelling of the same file
  window.fieldList = "200a";
  const RunSummary summary = RunConversion(window, LocalFileSystem());

  const std::string message = "输出文件不能是输入文件：" + window.savePath;
  EXPECT_EQ(summary.outcome, RunSummary::Outcome::Failed);
  EXPECT_EQ(window.calls, StartOfRunThen({"ChooseSaveFile", ErrorBox(message), "SetStartEnabled(true)"}));
  EXPECT_EQ(ReadBytes(input), bytes);
}
