// The conversion run as the window drives it: what it asks, what it writes,
// and how it ends when records or files are bad.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "app/path_list.h"
#include "app/window_run.h"
#include "census/census.h"
#include "marc/record_splitter.h"
#include "record_builder.h"
#include "test_support.h"

namespace {

using namespace expected;

std::string Record(const std::string& title, const std::string& author = "") {
  return RecordBuilder().Field("001", "id-" + title).Field("200", "1 " + Sf("a", title) + Sf("f", author)).Build();
}

// A folder with an input and an output path, and the window of a run.
struct Scene {
  Scene() {
    window.inputPath = input;
    window.savePath = output;
    window.fieldList = "200a,200f";
    options.threads = TestThreads();
  }
  RunSummary Convert(FileSystem& files = LocalFileSystem()) {
    summary = RunFromWindow(window, files, options).value_or(RunSummary{});
    g_largestAllocation = SIZE_MAX;
    return summary;
  }
  void RemoveOutput() const { std::filesystem::remove(std::filesystem::u8path(output)); }

  TempFolder folder;
  std::string input = folder.File("输入.iso");
  std::string output = folder.File("输出.txt");
  FakeRunWindow window;
  WindowRunOptions options;
  RunSummary summary;
  std::unique_ptr<FaultyFiles> files;  // when not the machine's own
  std::unique_ptr<OutputFile> held;    // an output another run holds
};

class Run : public ::testing::Test, public Scene {};

TEST_F(Run, EveryRecordBecomesOneLine) {
  WriteBytes(input, "\r\n" + Record(Gbk("题名"), Gbk("张\t三")) + "\r\n\r\n" + Record("B") + Record("C", "x\ny") +
                        Record("D", "p\r\nq\rr\n"));
  window.fieldList = "200a，200f,000?,\r\n,001a, 200a,2\r\n00a,200,000#,";
  Convert();
  const auto line = [](const std::string& title, const std::string& author, const std::string& id, char number) {
    return title + "\t" + author + "\t" + Gbk("文字资料印刷品") + "\t\tid-" + id + "\t" + title + "\t" + title +
           "\t1 $a" + title + "$f" + author + "\t" + number + "\t\t\r\n";
  };
  EXPECT_EQ(ReadBytes(output), "200a\t200f\t000?\t\t001a\t200a\t200a\t200\t000#\t\t\r\n" +
                                   line(Gbk("题名"), Gbk("张三"), Gbk("题名"), '1') + line("B", "", "B", '2') +
                                   line("C", "x y", "C", '3') + line("D", "p q r ", "D", '4'));
}

// Thousands of columns over a record of a megabyte: each cell is only as
// long as its value. (Room once reserved as columns times record size came
// to a few kilobytes in 32 bits for a record of this very size.) Then more
// lines than one write holds: every byte arrives, in order.
TEST_F(Run, LargeRecordsWideListsAndLongOutput) {
  const std::string abstract(9000, 'w');
  const auto build = [&](std::size_t rest) {
    RecordBuilder large;
    large.Field("200", Sf("a", "T"));
    for (int i = 0; i < 10; ++i) large.Field("330", Sf("a", abstract));
    return large.Field("900", std::string(rest, 'p')).LengthText(11, "9999").Build();
  };
  const std::size_t recordSize = 1048288;  // 4097 * (size + 33) + 2 wraps to 3,843 in 32 bits
  WriteBytes(input, build(recordSize - build(0).size()));
  window.fieldList = "330a*";
  std::string header = "330a*\t", row;
  for (int i = 0; i < 10; ++i) row += (i > 0 ? "; " : "") + abstract;
  for (int i = 0; i < 1024; ++i) {
    window.fieldList += ",200a,330a,001a,000?";
    header += "200a\t330a\t001a\t000?\t";
    row += "\tT\t" + abstract + "\t\t" + Gbk("文字资料印刷品");
  }
  Convert();
  EXPECT_EQ(ReadBytes(output), header + "\r\n" + row + "\t\r\n");

  // Rows of 1,024 bytes: the output's 1 MiB buffer is full and written
  // after row 1,024 and again after the last, so the run ends with nothing
  // left to write.
  std::string records, lines = "200a\t\r\n";
  for (int i = 0; i < 2048; ++i) {
    const std::string title = std::to_string(i) + abstract.substr(0, 1021 - std::to_string(i).size());
    records += Record(title);
    lines += title + "\t\r\n";
  }
  WriteBytes(input, records);
  window.fieldList = "200a";
  RemoveOutput();
  Convert();
  EXPECT_EQ(summary.outcome, RunSummary::Outcome::Completed) << FailureText(summary);
  EXPECT_EQ(ReadBytes(output), lines);
}

// What a run asks and what it leaves, for each way a run can go: the calls
// on the window, with ".../" for the folder, and the output file after it.
// Files that fail end with a clear error naming the file and the reason;
// lines already written stay and end at a line boundary; a file this run
// created without writing a line into it goes again.
struct Conversation {
  const char* what;
  std::function<void(Scene&)> setUp;
  Calls calls;
  std::string outputAfter;  // "-" for no output file
};

const std::string kThree = Record("A") + Record("B") + Record("C");
const std::string kOneLine = "200a\t200f\t\r\nA\t\t\r\n";
const std::string kToOutput = "\n输出文件：.../输出.txt";
const std::string kFinishedWithout200f = Finished(kFinishedPrompt + kToOutput + "\n以下各列在所有记录中都没有值：200f");
const std::string kTwoLines = kOneLine + "B\t\t\r\n";
std::string ReadError(const std::string& kept) {
  return ErrorBox("无法读取输入文件：.../输入.iso（读写错误）。" + kept);
}

// A run that gets as far as the save dialog, and `more` after it.
Calls Chosen(std::initializer_list<std::string> more) {
  Calls calls = StartThen({"ChooseOutputFile"});
  calls.insert(calls.end(), more);
  calls.push_back("SetBeginEnabled(true)");
  return calls;
}

std::function<void(Scene&)> InputBreaksOff(std::size_t after, const std::exception_ptr& thrown = nullptr) {
  return [=](Scene& t) {
    t.files = std::make_unique<FaultyFiles>();
    t.files->input = [=] { return std::make_unique<MemoryInput>(kThree, 7, after, thrown); };
  };
}

// Titles plainly in one encoding: eight characters of three bytes in UTF-8, and GBK.
const std::string kUtf8Title = "中文题名和作者耀", kGbkTitle = "中华人民共和国图书馆";
const std::string kJoinedTwice =
    RecordBuilder().Field("200", Sf("a", "A")).Field("701", Sf("a", "x")).Field("701", Sf("a", "y")).Build();

const Conversation kConversations[] = {
    {"no input path",
     [](Scene& t) { t.window.inputPath = ""; },
     {"InputPath", "Tell(NoInputPath|请先选择数据文件。)"},
     "-"},
    {"items no record can match: No goes back to editing",
     [](Scene& t) { t.window.fieldList = "200a,20a, 200 f,20a", t.window.answers = {false}; },
     {"InputPath", "SetBeginEnabled(false)", "SaveFieldList", "ShowProgressLabel", "FieldList",
      "Ask(ContinueWithEmptyColumns|以下字段代码无法识别，对应的列将全部为空：“20a”、“200 f”。是否仍然继续？)",
      "SetBeginEnabled(true)"},
     "-"},
    {"items no record can match: Yes goes on, and the end names the empty columns",
     [](Scene& t) { t.window.fieldList = "200a,20a,200A,200 a"; },
     {"InputPath", "SetBeginEnabled(false)", "SaveFieldList", "ShowProgressLabel", "FieldList",
      "Ask(ContinueWithEmptyColumns|以下字段代码无法识别，对应的列将全部为空：“20a”、“200 a”。是否仍然继续？)",
      kConfirm, "ChooseOutputFile", Progress(1, 100), Progress(1, 100),
      Finished(kFinishedPrompt + kToOutput +
               "\n以下各列在所有记录中都没有值：20a、200A（文件中有 200a）、200 a（文件中有 200a）"),
      "SetBeginEnabled(true)"},
     "200a\t20a\t200A\t200 a\t\r\nA\t\t\t\t\r\n"},
    {"No to the confirmation", [](Scene& t) { t.window.answers = {false}; }, StartThen({"SetBeginEnabled(true)"}), "-"},
    {"the save dialog cancelled", [](Scene& t) { t.window.savePath = ""; }, Chosen({}), "-"},
    {"No to appending",
     [](Scene& t) {
       WriteBytes(t.output, "old\n\x80"), t.window.answers = {true, false};
     },
     Chosen({kAskAppend}), "old\n\x80"},
    {"Yes to appending", [](Scene& t) { WriteBytes(t.output, "old\r\n"); },
     Chosen({kAskAppend, Progress(1, 100), Progress(1, 100), kFinishedWithout200f}), "old\r\n" + kOneLine},
    {"No to replacing a workbook",
     [](Scene& t) {
       WriteBytes(t.window.savePath = t.output = t.folder.File("输出.xlsx"), "old"), t.window.answers = {true, false};
     },
     Chosen({"Ask(ReplaceExisting|该文件已存在，是否替换？\n.../输出.xlsx)"}), "old"},
    {"Replace for a text file: replaced whole",
     [](Scene& t) { WriteBytes(t.output, "old\r\n"), t.window.replaceExisting = true; },
     Chosen({kAskAppend, Progress(1, 100), Progress(1, 100), kFinishedWithout200f}), kOneLine},
    {"Replace, then stopped: the old file stays",
     [](Scene& t) {
       WriteBytes(t.input, kThree), WriteBytes(t.output, "old\r\n");
       t.window.replaceExisting = true, t.window.stopAtProgress = 2;
     },
     Chosen({kAskAppend, Progress(1, 33), Progress(2, 66), "Tell(Finished|转换已停止，原文件未作改动：.../输出.txt)"}),
     "old\r\n"},
    {"Replace, then a read error: the old file stays",
     [](Scene& t) {
       InputBreaksOff(kThree.size() - 3)(t), WriteBytes(t.output, "old\r\n");
       t.window.replaceExisting = true;
     },
     Chosen({kAskAppend, Progress(1, 33), Progress(2, 66), ReadError("没有写出任何记录。")}), "old\r\n"},
    {"UTF-8 onto GBK text: refused with the reason, and replacing offered",
     [](Scene& t) { WriteBytes(t.output, "GBK\r\n"), t.window.saveType = OutputType::Utf8Text; },
     Chosen({kAskAppend,
             std::string("Ask(ReplaceInstead|输出文件已是GBK编码，不能追加UTF-8编码的数据：.../输出.txt") +
                 "（一个文件不能混用两种编码）\n是否替换该文件？)",
             Progress(1, 100), Progress(1, 100), kFinishedWithout200f}),
     "\xEF\xBB\xBF" + kOneLine},
    {"several inputs, one missing: named, and nothing runs",
     [](Scene& t) { t.window.inputPath = "\"" + t.input + "\"\r\n\"" + t.folder.File("missing.iso") + "\""; },
     {"InputPath", "Tell(InputNotFound|找不到数据文件：.../missing.iso)"},
     "-"},
    {"an input among several as output",
     [](Scene& t) {
       WriteBytes(t.window.savePath = t.folder.File("b.iso"), Record("B"));
       t.window.inputPath = "\"" + t.input + "\" \"" + t.window.savePath + "\"";
     },
     Chosen({ErrorBox("输出文件不能是输入文件：.../b.iso")}), "-"},
    {"the input itself as output", [](Scene& t) { t.window.savePath = t.folder.File("./输入.iso"); },
     Chosen({ErrorBox("输出文件不能是输入文件：..././输入.iso")}), "-"},
    {"the window closes during the run", [](Scene& t) { WriteBytes(t.input, kThree), t.window.closeAtProgress = 2; },
     StartThen({"ChooseOutputFile", Progress(1, 33), Progress(2, 66)}), kTwoLines},
    {"the user stops the run", [](Scene& t) { WriteBytes(t.input, kThree), t.window.stopAtProgress = 2; },
     Chosen({Progress(1, 33), Progress(2, 66), "Tell(Finished|转换已停止，已写出2条记录。" + kToOutput + ")"}),
     kTwoLines},
    {"a read error", InputBreaksOff(kThree.size() - 3),
     Chosen({Progress(1, 33), Progress(2, 66), ReadError("已写出的2条记录保留在输出文件中。")}), kTwoLines},
    {"a fault of the program's own: said as such, the lines so far kept",
     InputBreaksOff(Record("A").size() + 5, std::make_exception_ptr(std::logic_error("bad state"))),
     Chosen({Progress(1, 33), ErrorBox("转换中断（程序内部错误）。已写出的1条记录保留在输出文件中。")}), kOneLine},
    {"no memory inside a row: the whole lines stay",
     [](Scene& t) {
       const std::string big(4500, 'b');  // the first record is larger: only the row needs more memory
       WriteBytes(t.input,
                  RecordBuilder().Field("200", Sf("a", "A")).Field("300", big + big).Build() + Record("B", big));
       t.window.memoryShortAtProgress = 1;
     },
     Chosen({Progress(1, 66), ErrorBox("转换中断（内存不足）。已写出的1条记录保留在输出文件中。")}), kOneLine},
    {"no memory for a workbook: no file is left",
     [](Scene& t) {
       InputBreaksOff(Record("A").size() + Record("B").size() + 5, OutOfMemory())(t);
       t.window.saveType = OutputType::Workbook;
     },
     Chosen({Progress(1, 33), Progress(2, 66), ErrorBox("转换中断（内存不足）。没有写出任何记录。")}), "-"},
    {"nothing read: the new file goes", InputBreaksOff(0), Chosen({ReadError("没有写出任何记录。")}), "-"},
    {"nothing read: a file that was there stays", [](Scene& t) { InputBreaksOff(0)(t), WriteBytes(t.output, ""); },
     Chosen({kAskAppend, ReadError("没有写出任何记录。")}), ""},
    {"a file of one byte, no record: its progress whole, the end a warning",
     [](Scene& t) { WriteBytes(t.input, "\x1D"); },
     Chosen({Progress(1, 100), Progress(1, 100),
             Warning(kFinishedPrompt + kToOutput + "\n其中1条记录无法完整读取，第一条是第1条记录（位于文件第0字节）。" +
                     "\n以下各列在所有记录中都没有值：200a、200f" + LogLine(1))}),
     "200a\t200f\t\r\n\t\t\r\n"},
    {"records read otherwise than declared: counted each way, the first of each named; a set that is no "
     "number declares nothing",
     [](Scene& t) {
       const auto record = [](const char* set, const std::string& title) {
         const std::string field100 = std::string("20060827d2006    km y0chiy") + set + "20    ea";
         return RecordBuilder().Field("100", "  " + Sf("a", field100)).Field("200", Sf("a", title)).Build();
       };
       WriteBytes(t.input, record("09", kUtf8Title) + record("50", Gbk(kGbkTitle)) + record("01", kUtf8Title) +
                               record("5z", kUtf8Title));
       t.window.fieldList = "200a";
     },
     Chosen({Progress(1, 25), Progress(2, 49), Progress(3, 74), Progress(4, 100), Progress(4, 100),
             Finished(kFinishedPrompt + kToOutput + "\n其中3条记录是UTF-8编码的。" +
                      "\n2条记录声明为GBK，实际按UTF-8读取，第一条是第1条记录。" +
                      "\n1条记录声明为UTF-8，实际按GBK读取，第一条是第2条记录。" + LogLine(3))}),
     "200a\t\r\n" + Gbk(kUtf8Title) + "\t\r\n" + Gbk(kGbkTitle) + "\t\r\n" + Gbk(kUtf8Title) + "\t\r\n" +
         Gbk(kUtf8Title) + "\t\r\n"},
    {"a separator and items with tabs and line breaks break no row",
     [](Scene& t) {
       WriteBytes(t.input, kJoinedTwice);
       t.window.fieldList = "20\t0a,701a*,2\n00a,200a\r";
       t.options.joinSeparator = "\t\r\n；";
     },
     {"InputPath", "SetBeginEnabled(false)", "SaveFieldList", "ShowProgressLabel", "FieldList",
      std::string("Ask(ContinueWithEmptyColumns|") +
          "以下字段代码无法识别，对应的列将全部为空：“20\t0a”、“2\n00a”。是否仍然继续？)",
      kConfirm, "ChooseOutputFile", Progress(1, 100), Progress(1, 100),
      Finished(kFinishedPrompt + kToOutput + "\n以下各列在所有记录中都没有值：20\t0a、2\n00a"),
      "SetBeginEnabled(true)"},
     "200a\t701a*\t200a\t200a\t\r\n\tx" + Gbk("；") + "y\t\tA\t\r\n"},
    {"a workbook wider than 16,384 columns: refused, no file made",
     [](Scene& t) {
       t.window.fieldList = "200a";
       for (int i = 1; i < 16385; ++i) t.window.fieldList += ",200a";
       t.window.saveType = OutputType::Workbook;
     },
     Chosen({ErrorBox("Excel 工作簿最多16384列，字段列表有16385项；请减少字段或改用文本形式。")}), "-"},
    {"an input that is a folder",
     [](Scene& t) {
       std::filesystem::create_directory(std::filesystem::u8path(t.window.inputPath = t.folder.File("d")));
     },
     Chosen({ErrorBox("无法打开输入文件：.../d（这是一个文件夹）")}), "-"},
    {"an output in a missing folder", [](Scene& t) { t.window.savePath = t.folder.File("missing") + "/out.txt"; },
     Chosen({ErrorBox("无法创建输出文件：.../missing/out.txt（路径不存在）")}), "-"},
    {"an output another run holds",
     [](Scene& t) {
       FileError error;
       WriteBytes(t.output, "first run\r\n");
       t.held = LocalFileSystem().OpenOutput(t.output, OutputMode::Append, error);
     },
     Chosen({kAskAppend, ErrorBox("无法创建输出文件：.../输出.txt（文件正被另一程序使用）")}), "first run\r\n"},
};

TEST_F(Run, WhatItAsksAndWhatItLeaves) {
  for (const Conversation& c : kConversations) {
    Scene t;
    WriteBytes(t.input, Record("A"));
    c.setUp(t);
    t.Convert(t.files ? *t.files : LocalFileSystem());
    if (t.held) t.held->Close();
    for (std::string& call : t.window.calls) call = WithFolderAsDots(call, t.folder);
    EXPECT_EQ(FirstDifference(t.window.calls, c.calls), "") << c.what;
    EXPECT_EQ(Exists(t.output) ? ReadBytes(t.output) : "-", c.outputAfter) << c.what;
  }
}

// A failed run leaves whole lines: the file as it was, then whole lines of
// this run's output, as many as the error says. A file ending inside a line
// gets its line ended before this run's header. The output a run would write
// whole is `lines`; `after` is what the file holds after the failing run,
// with "..." standing for the whole lines the run kept of it.
TEST_F(Run, AppendFailuresLeaveWholeLines) {
  std::string records;
  for (int i = 0; i < 3000; ++i) records += Record(std::to_string(i) + std::string(700, 'w'));
  const std::string kDiskFull = "无法写入输出文件：.../输出.txt（磁盘空间不足）。";
  const struct {
    const char* what;
    std::string input;
    std::string before;  // "-" for no file
    std::size_t room;    // bytes the disk takes
    std::string after;   // "-" for no file
    std::string error;   // "" for none
    bool outputAppearsMeanwhile = false;
    bool unreadable = false;  // the file may be written but not read
  } cases[] = {
      {"a write fails in the first lines", kThree, "old\r\n", 3, "old\r\n", kDiskFull + "没有写出任何记录。"},
      {"a new file fails in the first lines", kThree, "-", 3, "-", kDiskFull + "没有写出任何记录。"},
      {"a write fails after many lines", records, "old\r\n", 1500000, "old\r\n...", kDiskFull + "已写出的"},
      {"a file ending inside a row", kThree, "old\tA", std::string::npos, "old\tA\r\n...", ""},
      {"a file ending inside a line break", kThree, "old\r", std::string::npos, "old\r\n...", ""},
      {"another run creates the file meanwhile", kThree, "other run\r\n", std::string::npos, "other run\r\n",
       "无法创建输出文件：.../输出.txt（文件已存在）", true},
      {"a file that cannot be read, whose encoding is not known", kThree, "old\r\n", std::string::npos, "old\r\n",
       "无法读取输出文件的开头，不能确定其编码：.../输出.txt", false, true},
  };
  for (const auto& c : cases) {
    Scene t;
    WriteBytes(t.input, c.input);
    t.Convert();
    const std::string lines = ReadBytes(t.output);
    t.RemoveOutput();
    if (c.before != "-") WriteBytes(t.output, c.before);
    t.files = std::make_unique<FaultyFiles>();
    t.files->room = c.room;
    if (c.outputAppearsMeanwhile) t.files->seemsMissing = t.output;
    t.files->unreadable = c.unreadable;
    t.Convert(*t.files);
    const std::string after = Exists(t.output) ? ReadBytes(t.output) : "-";
    const std::string error = WithFolderAsDots(FailureText(t.summary), t.folder);
    EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.what;
    const std::size_t kept = c.after.find("...");
    if (kept == std::string::npos) {
      EXPECT_EQ(after, c.after) << c.what;
      continue;
    }
    // The kept lines: a part of the whole output that ends with a line, and
    // the error names as many records as it holds.
    const std::string head = c.after.substr(0, kept);
    ASSERT_EQ(after.substr(0, head.size()), head) << c.what;
    const std::string written = after.substr(head.size());
    EXPECT_EQ(lines.substr(0, written.size()), written) << c.what;
    EXPECT_EQ(written.substr(written.size() - 2), "\r\n") << c.what;
    const auto rows = std::count(written.begin(), written.end(), '\n') - 1;
    if (!c.error.empty()) {
      EXPECT_GT(rows, 0) << c.what;
      EXPECT_NE(error.find("已写出的" + std::to_string(rows) + "条记录"), std::string::npos) << c.what << ": " << error;
    } else {
      EXPECT_EQ(written, lines) << c.what;
    }
  }
}

#ifndef _WIN32
// A real full disk: a device node of the test's own that takes no byte.
TEST_F(Run, AFullDisk) {
  const std::string full = folder.File("full");
  if (::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) GTEST_SKIP() << "no device nodes here";
  window.savePath = full;
  WriteBytes(input, Record("A"));
  Convert();
  EXPECT_EQ(FailureText(summary), "无法写入输出文件：" + full + "（磁盘空间不足）。没有写出任何记录。");
  struct stat node;
  EXPECT_TRUE(::stat(full.c_str(), &node) == 0 && S_ISCHR(node.st_mode)) << "the node is left as it was";
}
#endif

// Bad records keep their line, with empty cells, and the end message says
// how many there were and where the first one is.
TEST_F(Run, MalformedRecordsAreCountedAndFound) {
  const std::string type = Gbk("文字资料印刷品");
  const struct {
    std::string bytes;
    MalformedKind kind;
    std::string row;
  } records[] = {
      {RecordBuilder().Field("200", Sf("a", "R")).DirectoryTail("X").Build(), MalformedKind::Refused, "\t\t"},
      {RecordBuilder().Field("200", Sf("a", "L")).Field("300", "").LengthText(0, "12a4").Build(),
       MalformedKind::BadCell, "\t" + type + "\t"},
      {RecordBuilder().Field("200", Sf("a", "M")).Field("300", "").LengthText(1, "12a4").Build(),
       MalformedKind::BadCell, "M\t" + type + "\t"},  // in a field no column reads
      {"junk\r\n", MalformedKind::Unreadable, "\t\t"},
      {ManyEntries(1000, true), MalformedKind::FieldsOverlap, "v\t" + type + "\t"},
      {std::string(kLargestRecord + 1, 'J') + "\x1D", MalformedKind::TooLong, "\t\t"},
      {RecordBuilder().Field("200", Sf("a", "cut")).WithoutRecordTerminator().Build(), MalformedKind::NoRecordEnd,
       "cut\t" + type + "\t"},
  };
  std::string bytes = Record("A"), lines = "200a\t000?\t200b*\t\r\nA\t" + type + "\t\t\r\n";
  for (const auto& record : records) bytes += record.bytes, lines += record.row + "\t\r\n";
  WriteBytes(input, bytes);
  window.fieldList = "200a,000?,200b*";  // every 200 field is read for the joined column
  Convert();
  EXPECT_EQ(ReadBytes(output), lines);
  EXPECT_EQ(summary.records, static_cast<std::int64_t>(std::size(records) + 1));
  EXPECT_EQ(TakeCensus(LocalFileSystem(), input).Faulty(), summary.malformed) << "one count";
  ASSERT_EQ(summary.firstMalformed.size(), std::size(records));
  std::uint64_t offset = Record("A").size();
  for (std::size_t i = 0; i < std::size(records); offset += records[i++].bytes.size()) {
    EXPECT_EQ(summary.firstMalformed[i].kind, records[i].kind) << i;
    EXPECT_EQ(summary.firstMalformed[i].offset, offset) << i;
  }
  EXPECT_EQ(
      window.calls.at(window.calls.size() - 2),
      Finished(kFinishedPrompt + "\n输出文件：" + output + "\n其中7条记录无法完整读取，第一条是第2条记录（位于文件第" +
               std::to_string(Record("A").size()) + "字节）。\n以下各列在所有记录中都没有值：200b*" +
               "\n各问题所在的记录见问题记录：" + output + ".log.txt（7行）"));
}

// UTF-8 records come out in the output's encoding; GBK ones pass through
// untouched into GBK. What an encoding cannot hold is replaced and counted,
// and one file never holds both encodings.
TEST_F(Run, EachRecordInTheOutputsEncoding) {
  WriteBytes(input,
             RecordBuilder()
                     .Coding('a')
                     .Field("200", "1 " + Sf("a", "题名") + Sf("f", "作者😀ก") + Sf("g", "\xE4\xB8Z\xF5\x80\x80\x80"))
                     .Build() +
                 Record(Gbk("摘要"), "\xFE\x40" + Gbk("摘") + "\x80xyz\x81"));
  window.fieldList = "200a,200f,000?,200g";
  Convert();
  const std::string type = Gbk("文字资料印刷品");
  EXPECT_EQ(ReadBytes(output), "200a\t200f\t000?\t200g\t\r\n" + Gbk("题名") + "\t" + Gbk("作者") + "???\t" + type +
                                   "\t??Z????\t\r\n" + Gbk("摘要") + "\t\xFE\x40" + Gbk("摘") + "\x80xyz\x81\t" + type +
                                   "\t\t\r\n");
  EXPECT_EQ(window.calls.at(window.calls.size() - 2),
            Finished(kFinishedPrompt + "\n输出文件：" + output + "\n其中1条记录是UTF-8编码的。" +
                     "\n有8个字符无法用GBK编码写出，已写成“?”（BMP以外的1个写成“??”），第一个在第1条记录。" +
                     "\n各问题所在的记录见问题记录：" + output + ".log.txt（2行）"));

  RemoveOutput();
  window.saveType = OutputType::Utf8Text;
  options.joinSeparator = "|";
  window.fieldList = "200a,200f*,000?,200g";
  Convert();
  const std::string lines =
      "200a\t200f*\t000?\t200g\t\r\n题名\t作者😀ก\t文字资料印刷品\t\xEF\xBF\xBD\xEF\xBF\xBDZ"
      "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\t\r\n摘要\t\xEF\xA8\x8C摘€xyz\xEF\xBF\xBD\t文字资料印刷品\t\t\r"
      "\n";
  EXPECT_EQ(ReadBytes(output), "\xEF\xBB\xBF" + lines);
  EXPECT_EQ(summary.unwritable, 7);
  EXPECT_EQ(summary.firstUnwritableRecord.number, 1) << "both records have some; the first is named";
  Convert();
  EXPECT_EQ(ReadBytes(output), "\xEF\xBB\xBF" + lines + lines) << "no second byte order mark";

  WriteBytes(output, "GBK\r\n");
  window.answers = {true, true, false};  // No to replacing instead
  EXPECT_EQ(Convert().outcome, RunSummary::Outcome::Refused);
  EXPECT_EQ(FailureText(summary),
            "输出文件已是GBK编码，不能追加UTF-8编码的数据：" + output + "（一个文件不能混用两种编码）");
  EXPECT_EQ(ReadBytes(output), "GBK\r\n");
  // GBK that begins with the byte order mark's bytes ("锘靠") is still GBK;
  // a UTF-8 header longer than the bytes looked at is still UTF-8.
  WriteBytes(output, Gbk("锘靠") + "\r\n");
  window.answers = {true, true, false};
  EXPECT_EQ(Convert().outcome, RunSummary::Outcome::Refused);
  window.saveType = OutputType::GbkText;
  EXPECT_EQ(Convert().outcome, RunSummary::Outcome::Completed);
  window.saveType = OutputType::Utf8Text;
  // A first line longer than the 4,096 bytes read of it, cut inside a character of three bytes after two,
  // or of four bytes after three.
  for (const std::string& cut : {std::string(4091, 'x') + "ก", std::string(4090, 'x') + "\xF4\x8F\xBF\xBF"}) {
    const std::string longHeader = "\xEF\xBB\xBF" + cut + "\r\n";
    WriteBytes(output, longHeader);
    Convert();
    EXPECT_EQ(ReadBytes(output), longHeader + lines) << cut.substr(4090);
  }
  WriteBytes(output, "");
  Convert();
  EXPECT_EQ(ReadBytes(output), "\xEF\xBB\xBF" + lines) << "an empty file is begun like a new one";

  // A single character that GBK lacks is told too, as what it became.
  WriteBytes(input, RecordBuilder().Coding('a').Field("200", "1 " + Sf("a", "题😀")).Build());
  window.fieldList = "200a";
  window.saveType = OutputType::GbkText;
  RemoveOutput();
  Convert();
  EXPECT_EQ(ReadBytes(output), "200a\t\r\n" + Gbk("题") + "??\t\r\n");
  EXPECT_EQ(window.calls.at(window.calls.size() - 2),
            Finished(kFinishedPrompt + "\n输出文件：" + output +
                     "\n其中1条记录是UTF-8编码的。\n有1个字符无法用GBK编码写出，已写成“??”，第一个在第1条记录。" +
                     "\n各问题所在的记录见问题记录：" + output + ".log.txt（1行）"));
}

// Several inputs, one table: one header, then each file's records in the
// order given (a file named twice is read twice), "000@" naming the file.
// Progress runs over all of them; record numbers count within each file and
// name it. A file that cannot be read in the middle stops the run with the
// lines so far.
TEST_F(Run, SeveralInputsMakeOneTable) {
  const std::string second = folder.File("b.iso");
  WriteBytes(input, Record("A") + Record("B"));
  WriteBytes(second, Record("C") + "junk\r\n");
  window.inputPath = "\"" + input + "\"\r\n\"" + second + "\" \"" + input + "\"";
  window.fieldList = "000@,000#,200a";
  Convert();
  const std::string a = Gbk("输入.iso") + "\t";
  EXPECT_EQ(ReadBytes(output), "000@\t000#\t200a\t\r\n" + a + "1\tA\t\r\n" + a + "2\tB\t\r\n" +
                                   "b.iso\t1\tC\t\r\nb.iso\t2\t\t\r\n" + a + "1\tA\t\r\n" + a + "2\tB\t\r\n");
  EXPECT_EQ(window.proposed, folder.File("输入.txt"));
  const std::uint64_t total = 2 * ReadBytes(input).size() + ReadBytes(second).size();
  EXPECT_EQ(window.calls.at(7), Progress(1, static_cast<int>(Record("A").size() * 100 / total)));
  EXPECT_EQ(WithFolderAsDots(window.calls.at(window.calls.size() - 2), folder),
            Finished(kFinishedPrompt + kToOutput + "\n其中1条记录无法完整读取，第一条是b.iso中的第2条记录（位于文件第" +
                     std::to_string(Record("C").size()) + "字节）。" + LogLine(1)));
  EXPECT_EQ(ReadBytes(output + ".log.txt"), "\xEF\xBB\xBF文件\t记录号\t字节位置\t001\t列\t问题\r\n" + second + "\t2\t" +
                                                std::to_string(Record("C").size()) +
                                                "\t\t\t记录头之后没有字段结束符，各列写为空值\r\n");

  std::filesystem::create_directory(std::filesystem::u8path(folder.File("d")));
  window.inputPath = "\"" + input + "\" \"" + folder.File("d") + "\" \"" + second + "\"";
  RemoveOutput();
  const std::size_t callsBefore = window.calls.size();
  Convert();
  EXPECT_EQ(FailureText(summary),
            "无法打开输入文件：" + folder.File("d") + "（这是一个文件夹）。已写出的2条记录保留在输出文件中。");
  // Where some size is not known (a folder's, a pipe's), each file shows its own progress.
  EXPECT_EQ(window.calls.at(callsBefore + 7),
            Progress(1, static_cast<int>(Record("A").size() * 100 / ReadBytes(input).size())));
  EXPECT_EQ(ReadBytes(output), "000@\t000#\t200a\t\r\n" + a + "1\tA\t\r\n" + a + "2\tB\t\r\n");
  EXPECT_FALSE(Exists(output + ".log.txt")) << "no problem this time: the earlier log goes";
}

// The log names every problem on a line of its own: the record's own first,
// then its cells'; the 001 when the record has one, cut to its beginning,
// its tabs and line breaks as blanks.
// It stops at its bound and says so; a run without problems removes an
// earlier log; a log that cannot be written fails no run.
TEST_F(Run, TheLogNamesEveryProblemUpToItsBound) {
  const Messages words(Language::Chinese);
  const auto declared = [](const char* set, const std::string& title) {
    const std::string field100 = std::string("20060827d2006    km y0chiy") + set + "20    ea";
    return RecordBuilder()
        .Field("001", "o\t1")
        .Field("100", "  " + Sf("a", field100))
        .Field("200", Sf("a", title))
        .Build();
  };
  const std::string records[] = {
      Record("A"), "junk\r\n", declared("09", kUtf8Title),
      RecordBuilder().Coding('a').Field("001", "u1").Field("200", Sf("a", "题😀") + Sf("b", "ก")).Build()};
  std::string bytes;
  std::vector<std::string> offsets;
  for (const std::string& record : records) offsets.push_back(std::to_string(bytes.size())), bytes += record;
  WriteBytes(input, bytes);
  ConversionRequest request;
  request.inputPaths = {input};
  request.outputPath = output;
  request.items = {"200a", "200b"};
  request.log = {folder.File("问题.txt"), &words, 3};
  const std::string header = "\xEF\xBB\xBF文件\t记录号\t字节位置\t001\t列\t问题\r\n";
  const std::string marks = "有字符无法用GBK编码写出，已写成“?”（BMP以外的写成“??”）";
  const std::string lines[] = {
      input + "\t2\t" + offsets[1] + "\t\t\t记录头之后没有字段结束符，各列写为空值\r\n",
      input + "\t3\t" + offsets[2] + "\to 1\t\t声明为GBK，实际按UTF-8读取\r\n",
      input + "\t4\t" + offsets[3] + "\tu1\t200a\t" + marks + "\r\n",
      input + "\t4\t" + offsets[3] + "\tu1\t200b\t" + marks + "\r\n",
  };
  RunSummary converted = ::Convert(request, LocalFileSystem());
  EXPECT_EQ(ReadBytes(request.log.path),
            header + lines[0] + lines[1] + lines[2] + "问题记录到此为止：只列出前3个问题，另有1个未列出。\r\n");
  EXPECT_TRUE(converted.logCutShort && converted.loggedProblems == 3);

  request.log.mostLines = kProblemLogLines;
  request.outputMode = OutputMode::Replace;
  ::Convert(request, LocalFileSystem());
  EXPECT_EQ(ReadBytes(request.log.path), header + lines[0] + lines[1] + lines[2] + lines[3]);

  // A value longer than a cell holds, in a workbook.
  RecordBuilder long200;
  long200.Field("001", std::string(70, 'i'));
  for (int i = 0; i < 4; ++i) long200.Field("200", Sf("b", std::string(9000, 'x')));
#ifdef _WIN32
  const std::string longInput = folder.File("long.iso"), longInputCell = longInput;
#else
  // Where a file's name may hold a tab or a CR, its cell has blanks there.
  const std::string longInput = folder.File("long\t2\r.iso"), longInputCell = folder.File("long 2 .iso");
#endif
  WriteBytes(longInput, long200.Build());
  request.inputPaths = {longInput};
  request.items = {"200a", "200b*"};
  request.output = OutputType::Workbook;
  request.outputPath = folder.File("out.xlsx");
  ::Convert(request, LocalFileSystem());
  EXPECT_EQ(ReadBytes(request.log.path), header + longInputCell + "\t1\t0\t" + std::string(64, 'i') +
                                             "\t200b*\t值超过单元格的上限（32767个字符），已截断\r\n");

  request.inputPaths = {input};
  WriteBytes(input, Record("A"));
  converted = ::Convert(request, LocalFileSystem());
  EXPECT_FALSE(Exists(request.log.path)) << "no problem, no log";
  EXPECT_EQ(converted.loggedProblems, 0);

  WriteBytes(input, "junk");
  request.log.path = folder.File("missing") + "/问题.txt";
  converted = ::Convert(request, LocalFileSystem());
  EXPECT_EQ(converted.outcome, RunSummary::Outcome::Completed);
  EXPECT_EQ(WithFolderAsDots(words.LogNamed(converted, request.log.path), folder),
            "问题记录无法写出：.../missing/问题.txt（路径不存在）；转换本身不受影响。");
}

// The path box's text as paths, and back; the output the save dialog proposes.
TEST(PathList, ParsedJoinedAndProposed) {
  const struct {
    std::string text;
    std::vector<std::string> paths;
    std::string joined;  // "" for the text itself
  } lists[] = {
      {"D:\\data\\a b.iso", {"D:\\data\\a b.iso"}, ""},
      {"  D:\\a.iso \r\n", {"D:\\a.iso"}, "D:\\a.iso"},
      {"\"D:\\a b.iso\" \"D:\\中文\\c.iso\"", {"D:\\a b.iso", "D:\\中文\\c.iso"}, ""},
      {"\"D:\\a.iso\"\r\n\"D:\\b.iso\"\n", {"D:\\a.iso", "D:\\b.iso"}, "\"D:\\a.iso\" \"D:\\b.iso\""},
      {"D:\\a.iso\r\nD:\\b c.iso", {"D:\\a.iso", "D:\\b c.iso"}, "\"D:\\a.iso\" \"D:\\b c.iso\""},
      {"\"\\\\?\\D:\\a.iso\" x.iso \"\"", {"\\\\?\\D:\\a.iso", "x.iso"}, "\"\\\\?\\D:\\a.iso\" \"x.iso\""},
      {" \r\n ", {}, ""},
  };
  for (const auto& list : lists) {
    EXPECT_EQ(ParsePathList(list.text), list.paths) << list.text;
    if (!list.paths.empty()) {
      EXPECT_EQ(JoinPathList(list.paths), list.joined.empty() ? list.text : list.joined) << list.text;
    }
  }
  EXPECT_EQ(ProposedOutput("D:\\data\\book.iso", OutputType::Workbook), "D:\\data\\book.xlsx");
  EXPECT_EQ(ProposedOutput("/data.d/book", OutputType::GbkText), "/data.d/book.txt");
  EXPECT_EQ(ProposedOutput("", OutputType::GbkText), "");
  EXPECT_EQ(WithExtensionOf("D:\\book.TXT", OutputType::Workbook), "D:\\book.xlsx");
  EXPECT_EQ(WithExtensionOf("D:\\book.xlsx", OutputType::Utf8Text), "D:\\book.txt");
  EXPECT_EQ(WithExtensionOf("D:\\book.dat", OutputType::Workbook), "D:\\book.dat.xlsx");
  EXPECT_EQ(Messages(Language::Chinese).ConfirmPrompt(OutputType::Workbook), "是否将数据转换为 Excel 工作簿？");
}

}  // namespace
