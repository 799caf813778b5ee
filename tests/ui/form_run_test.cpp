// Conversion runs started from the window's Begin button, on real files,
// with the message boxes and the save dialog answered from a script.
#include <gtest/gtest.h>

#include "gbk_text.h"
#include "record_builder.h"
#include "temp_folder.h"
#include "ui_test_support.h"
#include "win32_text.h"

namespace {

const std::wstring kConfirm = L"您好,是否确定导出数据为制表符文本数据？";
const std::wstring kAppend = L"该文件已存在，是否追加数据！";
const std::wstring kFinished = L"恭喜，数据已经转换完毕咯！";

std::string Book(const std::string& title, const std::string& price) {
  return RecordBuilder()
      .Field("010", "  " + Sf("a", "978-7-5013") + Sf("d", price))
      .Field("200", "1 " + Sf("a", title))
      .Build();
}

class FormRun : public FormTest {
 protected:
  void SetUp() override {
    WriteBytes(input, Book(Gbk("中国图书"), "CNY25.00") + "\r\n\r\n" + Book("Tab\there", "CNY9"));
    Open();
    SetWindowTextW(Control(kText1), Widen(input).c_str());
    SetWindowTextW(Control(kText2), L"200a，010d");
  }

  void ClickBegin() { SendMessageW(Control(kCommand3), BM_CLICK, 0, 0); }

  std::string Converted() const {
    return "200a\t010d\t\r\n" + Gbk("中国图书") + "\tCNY25.00\t\r\nTabhere\tCNY9\t\r\n";
  }

  TempFolder folder;
  std::string input = folder.File("书目.iso");
  std::string output = folder.File("导出.txt");
};

}  // namespace

TEST_F(FormRun, ConvertsTheFileAndEndsWithTheMessage) {
  desktop.buttonAnswers = {IDYES, IDOK};
  desktop.saveAnswers = {Widen(output)};
  ClickBegin();

  EXPECT_EQ(ReadBytes(output), Converted());
  ASSERT_EQ(desktop.messages.size(), 2u);
  EXPECT_EQ(desktop.messages[0].prompt, kConfirm);
  EXPECT_EQ(desktop.messages[0].style, 0x34u);
  EXPECT_EQ(desktop.messages[0].title, L"操作提示");
  EXPECT_EQ(desktop.messages[1].prompt, kFinished);
  EXPECT_EQ(desktop.messages[1].style, 0x40u);
  EXPECT_EQ(desktop.messages[1].title, L"温馨提示");
  for (const MessageBoxCall& call : desktop.messages) EXPECT_EQ(call.owner, form->Window());
  ASSERT_EQ(desktop.saveOwners.size(), 1u);
  EXPECT_EQ(desktop.saveOwners[0], form->Window());

  EXPECT_TRUE(IsWindowVisible(Control(kLabel3)));
  EXPECT_EQ(Text(kLabel3), L"正在预读数据，目前已完成2条.....");
  EXPECT_TRUE(IsWindowEnabled(Control(kCommand3)));
  EXPECT_EQ(settings.entries["Pellmoor\\Sorrelant\\Setting"], "200a，010d");
}

TEST_F(FormRun, ASecondRunAppendsWhenTheUserAgrees) {
  desktop.buttonAnswers = {IDYES, IDOK, IDYES, IDYES, IDOK};
  desktop.saveAnswers = {Widen(output), Widen(output)};
  ClickBegin();
  ClickBegin();
  EXPECT_EQ(ReadBytes(output), Converted() + Converted());
  ASSERT_EQ(desktop.messages.size(), 5u);
  EXPECT_EQ(desktop.messages[3].prompt, kAppend);
  EXPECT_EQ(desktop.messages[3].style, 0x144u);
  EXPECT_EQ(desktop.messages[3].title, L"温馨提示");
}

TEST_F(FormRun, DecliningToAppendLeavesTheFileAsItWas) {
  WriteBytes(output, "earlier\r\n");
  desktop.buttonAnswers = {IDYES, IDNO};
  desktop.saveAnswers = {Widen(output)};
  ClickBegin();
  EXPECT_EQ(ReadBytes(output), "earlier\r\n");
  EXPECT_EQ(desktop.messages.size(), 2u);
  EXPECT_TRUE(IsWindowEnabled(Control(kCommand3)));
}

TEST_F(FormRun, DecliningTheConfirmationKeepsTheSavedListAndTheShownLabel) {
  desktop.buttonAnswers = {IDNO};
  ClickBegin();
  EXPECT_TRUE(desktop.saveOwners.empty());
  EXPECT_EQ(settings.entries["Pellmoor\\Sorrelant\\Setting"], "200a，010d");
  EXPECT_TRUE(IsWindowVisible(Control(kLabel3)));
  EXPECT_EQ(Text(kLabel3), L"正在预读数据，目前完成条.....");
  EXPECT_TRUE(IsWindowEnabled(Control(kCommand3)));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(output)));
}

TEST_F(FormRun, CancellingTheSaveDialogEndsTheRun) {
  desktop.buttonAnswers = {IDYES};
  desktop.saveAnswers = {std::wstring()};
  ClickBegin();
  EXPECT_EQ(desktop.messages.size(), 1u);
  EXPECT_TRUE(IsWindowEnabled(Control(kCommand3)));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(output)));
}

TEST_F(FormRun, AnInputThatDoesNotExistDoesNothingAtAll) {
  SetWindowTextW(Control(kText1), Widen(folder.File("missing.iso")).c_str());
  ClickBegin();
  SetWindowTextW(Control(kText1), L"");
  ClickBegin();
  EXPECT_TRUE(desktop.messages.empty());
  EXPECT_TRUE(settings.entries.empty());
  EXPECT_FALSE(IsWindowVisible(Control(kLabel3)));
}

TEST_F(FormRun, CommandsOfTheWindowStillWorkWhileTheRunAsks) {
  // The start button is disabled from the start of the run to its end.
  bool disabledDuringRun = false;
  desktop.buttonAnswers = {IDYES, IDOK};
  desktop.saveAnswers = {Widen(output)};
  desktop.whileSaveDialogIsOpen = [&] { disabledDuringRun = !IsWindowEnabled(Control(kCommand3)); };
  ClickBegin();
  EXPECT_TRUE(disabledDuringRun);
  EXPECT_TRUE(IsWindowEnabled(Control(kCommand3)));
}

TEST_F(FormRun, ClosingTheWindowDuringARunEndsItAtALineBoundaryWithoutTheEndMessage) {
  std::string records;
  for (int i = 0; i < 2000; ++i) records += Book("T" + std::to_string(i), "CNY1") + "\r\n";
  WriteBytes(input, records);
  desktop.buttonAnswers = {IDYES};
  desktop.saveAnswers = {Widen(output)};
  // The user closes the window as soon as the conversion begins.
  desktop.whileSaveDialogIsOpen = [&] { PostMessageW(form->Window(), WM_CLOSE, 0, 0); };
  ClickBegin();

  EXPECT_EQ(form->Window(), nullptr);  // the window is gone
  EXPECT_TRUE(TakeQuitMessage());      // and the program is ending
  EXPECT_EQ(desktop.messages.size(), 1u);
  const std::string written = ReadBytes(output);
  EXPECT_EQ(written, "200a\t010d\t\r\nT0\tCNY1\t\r\n");
}

TEST_F(FormRun, TheLabelShowsTheFinalCountOfALargeFile) {
  std::string records;
  for (int i = 0; i < 5000; ++i) records += Book("T", "CNY1") + "\r\n";
  WriteBytes(input, records);
  desktop.buttonAnswers = {IDYES, IDOK};
  desktop.saveAnswers = {Widen(output)};
  ClickBegin();
  EXPECT_EQ(Text(kLabel3), L"正在预读数据，目前已完成5000条.....");
}
