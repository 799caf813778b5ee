// A disk that fills up during a run: the run must say so, not claim success.
#include <gtest/gtest.h>

#include <filesystem>

#include "conversation.h"
#include "conversion_run.h"
#include "fake_run_window.h"
#include "record_builder.h"
#include "temp_folder.h"

TEST(FullDisk, WriteFailureEndsTheRunWithAnErrorBox) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  TempFolder folder;
  const std::string input = folder.File("in.iso");
  WriteBytes(input, RecordBuilder().Field("200", "1 " + Sf("a", "A")).Build());
  FakeRunWindow window;
  window.inputPath = input;
  window.savePath = "/dev/full";
  window.fieldList = "200a";
  const RunSummary summary = RunConversion(window, LocalFileSystem());

  EXPECT_EQ(summary.outcome, RunSummary::Outcome::Failed);
  const std::string message = "无法写入输出文件：/dev/full（磁盘空间不足）";
  EXPECT_EQ(window.calls, StartOfRunThen({"ChooseSaveFile", kAskAppend, Progress(1), ErrorBox(message),
                                               "SetStartEnabled(true)"}));
}
