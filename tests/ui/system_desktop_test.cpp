// The system's own message boxes and file dialogs, opened by the window and
// answered by a second thread as a person would.
#include <gtest/gtest.h>

#include "dialog_answerer.h"
#include "gbk_text.h"
#include "record_builder.h"
#include "temp_folder.h"
#include "ui_test_support.h"
#include "win32_text.h"

namespace {

class RealDialogs : public FormTest {
 protected:
  Form1& OpenWithSystemDialogs() {
    form = std::make_unique<Form1>(SystemDesktop(), settings, LocalFileSystem());
    EXPECT_TRUE(form->Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    return *form;
  }

  static DWORD ThisThread() { return GetCurrentThreadId(); }

  TempFolder folder;
};

}  // namespace

TEST_F(RealDialogs, ARunAsksConfirmsAndSavesThroughTheSystemDialogs) {
  const std::string input = folder.File("in.iso");
  const std::string output = folder.File("结果.txt");
  WriteBytes(input, RecordBuilder().Field("200", "1 " + Sf("a", Gbk("题名"))).Build());
  OpenWithSystemDialogs();
  SetWindowTextW(Control(kText1), Widen(input).c_str());
  SetWindowTextW(Control(kText2), L"200a");

  DialogAnswerer person(ThisThread(), {{IDYES, L""}, {IDOK, Widen(output)}, {IDOK, L""}});
  SendMessageW(Control(kCommand3), BM_CLICK, 0, 0);

  EXPECT_EQ(ReadBytes(output), "200a\t\r\n" + Gbk("题名") + "\t\r\n");
  ASSERT_EQ(person.Seen().size(), 3u);
  EXPECT_EQ(person.Seen()[0].title, L"操作提示");
  EXPECT_EQ(person.Seen()[0].prompt, L"您好,是否确定导出数据为制表符文本数据？");
  EXPECT_EQ(person.Seen()[1].title, L"保存Marc文件");
  EXPECT_EQ(person.Seen()[2].title, L"温馨提示");
  EXPECT_EQ(person.Seen()[2].prompt, L"恭喜，数据已经转换完毕咯！");
}

TEST_F(RealDialogs, TheAppendQuestionHasNoAsItsDefault) {
  const std::string input = folder.File("in.iso");
  const std::string output = folder.File("out.txt");
  WriteBytes(input, RecordBuilder().Field("200", "1 " + Sf("a", "T")).Build());
  WriteBytes(output, "kept\r\n");
  OpenWithSystemDialogs();
  SetWindowTextW(Control(kText1), Widen(input).c_str());

  DialogAnswerer person(ThisThread(), {{IDYES, L""}, {IDOK, Widen(output)}, {IDNO, L""}});
  SendMessageW(Control(kCommand3), BM_CLICK, 0, 0);

  ASSERT_EQ(person.Seen().size(), 3u);
  EXPECT_EQ(person.Seen()[2].title, L"温馨提示");
  EXPECT_EQ(person.Seen()[2].prompt, L"该文件已存在，是否追加数据！");
  EXPECT_EQ(person.Seen()[2].focusedId, IDNO);
  EXPECT_EQ(ReadBytes(output), "kept\r\n");
}

TEST_F(RealDialogs, TheOpenDialogTakesATypedNameEvenOfAFileThatDoesNotExist) {
  OpenWithSystemDialogs();
  const std::wstring typed = Widen(folder.File("还没有.iso"));
  {
    DialogAnswerer person(ThisThread(), {{IDOK, typed}});
    SendMessageW(Control(kCommand1), BM_CLICK, 0, 0);
    ASSERT_EQ(person.Seen().size(), 1u);
    EXPECT_EQ(person.Seen()[0].title, L"打开MARC数据文件");
  }
  EXPECT_EQ(Text(kText1), typed);
  {
    DialogAnswerer person(ThisThread(), {{IDCANCEL, L""}});
    SendMessageW(Control(kCommand1), BM_CLICK, 0, 0);
  }
  EXPECT_EQ(Text(kText1), typed);
}
