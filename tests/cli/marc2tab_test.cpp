// marc2tab as a shell script runs it: its arguments, its exit status, what it
// says on standard error, and the files it leaves.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "record_builder.h"
#include "test_support.h"

namespace {

const std::string kRecord = RecordBuilder().Field("001", "B1").Field("200", "1 " + Sf("a", Gbk("中文题名"))).Build();
const std::string kExpected = "200a\t000?\t\r\n" + Gbk("中文题名") + "\t" + Gbk("文字资料印刷品") + "\t\r\n";
const std::string kJoined = RecordBuilder().Field("701", Sf("a", Gbk("甲"))).Field("701", Sf("a", Gbk("乙"))).Build();
const std::string kUtf8Joined =
    "\xEF\xBB\xBF"
    "701a*\t\r\n甲 / 乙\t\r\n";

struct Result {
  int exitCode = -1;
  std::string out, err;
};

// marc2tab speaks its user's language: these tests read its Chinese, unless
// a call sets another locale or --lang.
const bool kChineseLocale = [] {
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  return setenv("LANG", "zh_CN.UTF-8", 1) == 0;
}();

std::string Quoted(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs marc2tab in the folder; "IN", "OUT", "BOOK", "LIST", "LOG" and
// "MISSING" in the arguments stand for in.iso, out.txt, out.xlsx, list.txt,
// log.txt and no/log.txt there. Standard output goes to `out` (">>" when
// appending), standard error to `err`.
Result RunMarc2tab(const TempFolder& folder, std::vector<std::string> arguments, const std::string& out,
                   bool append = false) {
  // A call may set its own locale ("LANG=en_US.UTF-8" first).
  std::string command;
  if (!arguments.empty() && arguments[0].rfind("LANG=", 0) == 0) {
    command += arguments[0] + " ";
    arguments.erase(arguments.begin());
  }
  command += Quoted(MARC2TAB_PATH);
  const std::map<std::string, std::string> files = {{"IN", "in.iso"},     {"OUT", "out.txt"},
                                                    {"BOOK", "out.xlsx"}, {"LIST", "list.txt"},
                                                    {"LOG", "log.txt"},   {"MISSING", "no/log.txt"}};
  for (const std::string& argument : arguments) {
    const auto file = files.find(argument);
    command += " " + Quoted(file != files.end() ? folder.File(file->second) : argument);
  }
  WriteBytes(folder.File("no-input"), "");
  command += (append ? " >>" : " >") + Quoted(out) + " 2>" + Quoted(folder.File("err")) + " <" +
             Quoted(folder.File("no-input"));
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(out), ReadBytes(folder.File("err"))};
}

// A field list of `items` times 200a.
std::string Items(std::size_t items) {
  std::string list = "200a";
  for (std::size_t i = 1; i < items; ++i) list += ",200a";
  return list;
}

struct Call {
  const char* what;
  std::string input;      // "-" for none
  std::string before;     // the output file's bytes; "-" for none
  std::string arguments;  // split at "|"; "@LIST" is "@" and the list file
  int exitCode;
  std::string errHas;      // pieces of what standard error says, split at "|"
  std::string after;       // the output file's bytes (out.xlsx when named, else out.txt); "-" for none
  bool whole = true;       // false: `after` is only how the file begins
  std::string list = "-";  // in list.txt
};

const std::string kZip = "PK\x03\x04";

// Workbooks: by the output's name or by --format, written whole, replaced
// only with --replace, never appended to; and text replaced with --replace.
// A list of more items than a workbook has columns is refused before any
// file is touched. --fields @FILE: the list from a UTF-8 file; a file that
// cannot be read, is not UTF-8 or holds too many items is refused before any
// output is made.
const Call kCalls[] = {
    {"converts", kRecord, "-", "--fields|200a，000?|IN|OUT", 0, "marc2tab: 已转换1条记录，其中0条格式有误。\n",
     kExpected},
    {"in English by --lang", kRecord, "-", "--lang|en|--fields|200a，000?|IN|OUT", 0,
     "marc2tab: 1 record converted, 0 of them malformed.\n", kExpected},
    {"in English by the locale", kRecord, "-", "LANG=en_US.UTF-8|IN", 2, "\nUsage: marc2tab", "-"},
    {"an unknown option, in Chinese by the locale", kRecord, "-", "LANG=zh_TW.UTF-8|--bogus|IN|OUT", 2,
     "未知的选项 --bogus|用法：marc2tab", "-"},
    {"an unknown language", kRecord, "-", "--lang|fr|IN|OUT", 2, "未知的语言 fr", "-"},
    {"no output", kRecord, "-", "IN", 2, "用法：marc2tab", "-"},
    {"a third file: two inputs, the second missing", kRecord, "-", "IN|OUT|third", 1, "out.txt（文件不存在）", "-"},
    {"a log of the problems, named after the run", "junk\r\n" + kRecord, "-", "--log|LOG|--fields|200a|IN|OUT", 0,
     "各问题所在的记录见问题记录：", "200a\t\r\n\t\r\n" + Gbk("中文题名") + "\t\r\n"},
    {"a log that cannot be written fails no run", "junk", "-", "--log|MISSING|--fields|200a|IN|OUT", 0,
     "marc2tab: 警告：问题记录无法写出：", "200a\t\r\n\t\r\n"},
    {"the log as the output", kRecord, "-", "--log|OUT|IN|OUT", 2, "--log 需要一个文件名", "-"},
    {"a list missing", kRecord, "-", "IN|OUT|--fields", 2, "用法：marc2tab", "-"},
    {"an empty output name", kRecord, "-", "IN|", 2, "输出文件名是空的", "-"},
    {"an empty input name", kRecord, "-", "|OUT", 2, "输入文件名是空的", "-"},
    {"an unknown encoding", kRecord, "-", "--encoding|latin1|IN|OUT", 2, "用法：marc2tab", "-"},
    {"an empty list: no columns", kRecord, "-", "--fields||IN|OUT", 0, "", "\r\n\r\n"},
    {"items no record can match named before; columns empty in every record after, in the file's spelling", kRecord,
     "-", "--fields|200a,20a,200A|IN|OUT", 0,
     "marc2tab: 警告：以下字段代码无法识别，对应的列将全部为空：“20a”。\n|"
     "marc2tab: 警告：以下各列在所有记录中都没有值：20a、200A（文件中有 200a）\n",
     "200a\t20a\t200A\t\r\n" + Gbk("中文题名") + "\t\t\t\r\n"},
    {"names in the header", kRecord, "-", "--header|names|--fields|200a,000?,000#,200a*|IN|OUT", 0, "",
     Gbk("正题名\t记录类型\t记录号\t正题名（全部）\t\r\n中文题名\t文字资料印刷品\t1\t中文题名\t\r\n")},
    {"codes and names, in English by --lang", kRecord, "-", "--lang|en|--header=both|--fields|200a,001,200x|IN|OUT", 0,
     "These columns have no value in any record: 200x\n",
     "200a Title proper\t001 Record identifier\t200x\t\r\n" + Gbk("中文题名") + "\tB1\t\t\r\n"},
    {"an unknown header style", kRecord, "-", "--header|titles|IN|OUT", 2, "未知的标题行样式 titles", "-"},
    {"an output that exists", kRecord, "keep\r\n", "IN|OUT", 2, "要追加数据请加 --append", "keep\r\n"},
    {"appended", kRecord, "keep\r\n", "--append|--fields|200a,000?|IN|OUT", 0, "", "keep\r\n" + kExpected},
    {"the input as output", kRecord, "-", "--append|IN|IN", 1, "输出文件不能是输入文件：", "-"},
    {"a separator that would break the row", kRecord, "-", "--join|\t|IN|OUT", 2, "--join 的分隔符中不能有制表符或换行",
     "-"},
    {"no input", "-", "-", "IN|OUT", 1, "in.iso（文件不存在）\n", "-"},
    {"a census of two, the second missing", kRecord, "-", "--census|IN|OUT", 1, "out.txt（文件不存在）", "-"},
    {"a census of nothing", "-", "-", "--census|IN", 1, "in.iso（文件不存在）\n", "-"},
    {"joined, in UTF-8", kJoined, "-", "--encoding|utf-8|--join| / |--fields|701a*|IN|OUT", 0, "", kUtf8Joined},
    {"GBK after UTF-8", kJoined, kUtf8Joined, "--append|--fields|701a*|IN|OUT", 2,
     "输出文件已是UTF-8编码，不能追加GBK编码的数据：", kUtf8Joined},
    {"a workbook by its name", kRecord, "-", "IN|BOOK", 0, "输出文件：", kZip, false},
    {"a workbook by its format", kRecord, "-", "--format|xlsx|IN|OUT", 0, "", kZip, false},
    {"text by its format", kRecord, "-", "--format|tsv|IN|BOOK", 0, "", "010a\t", false},
    {"a workbook that exists", kRecord, "old", "IN|BOOK", 2, "要替换它请加 --replace", "old"},
    {"a workbook replaced", kRecord, "old", "--replace|IN|BOOK", 0, "", kZip, false},
    {"a workbook appended to", kRecord, "old", "--append|IN|BOOK", 2, "Excel 工作簿不能追加", "old"},
    {"text replaced", kRecord, "old", "--replace|--fields|200a|IN|OUT", 0, "",
     "200a\t\r\n" + Gbk("中文题名") + "\t\r\n"},
    {"both --append and --replace", kRecord, "old", "--append|--replace|IN|OUT", 2, "只能用一个", "old"},
    {"an unknown format", kRecord, "-", "--format|ods|IN|OUT", 2, "未知的格式 ods", "-"},
    {"control characters left out, counted",
     RecordBuilder().Field("200", "1 " + Sf("a", std::string("\x07") + "a\tb")).Build(), "-", "--fields|200a|IN|BOOK",
     0, "\n  2个控制字符已删去，第一处在第1条记录。\n", kZip, false},
    {"16,384 columns", kRecord, "-", "--fields|" + Items(16384) + "|IN|BOOK", 0, "", kZip, false},
    {"16,385 columns: none replaced", kRecord, "old", "--replace|--fields|" + Items(16385) + "|IN|BOOK", 2,
     "Excel 工作簿最多16384列，字段列表有16385项；请减少字段或改用文本形式。", "old"},
    {"16,385 columns of text", kRecord, "-", "--fields|" + Items(16385) + "|IN|OUT", 0, "", "200a\t200a\t", false},
    {"a list file, one item a line", kRecord, "-", "--fields|@LIST|IN|OUT", 0, "", kExpected, true,
     std::string("\xEF\xBB\xBF") + "200a\r\n000?\r\n"},
    {"a list file not in UTF-8", kRecord, "-", "--fields|@LIST|IN|OUT", 2,
     "marc2tab: 字段列表文件不是UTF-8编码的文本文件：", "-", true, Gbk("题名")},
    {"the same in English", kRecord, "-", "--lang|en|--fields|@LIST|IN|OUT", 2,
     "marc2tab: the field list file is no text file in UTF-8: ", "-", true, Gbk("题名")},
    {"a list file of too many items", kRecord, "-", "--fields|@LIST|IN|OUT", 2,
     "marc2tab: 字段列表文件中的项目超过16384个：", "-", true, Items(16385)},
    {"no list file", kRecord, "-", "--fields|@LIST|IN|OUT", 2, "list.txt（文件不存在）\n", "-"},
};

TEST(Marc2tab, ArgumentsExitStatusAndFiles) {
  for (const Call& call : kCalls) {
    TempFolder folder;
    if (call.input != "-") WriteBytes(folder.File("in.iso"), call.input);
    if (call.list != "-") WriteBytes(folder.File("list.txt"), call.list);
    std::vector<std::string> arguments = Split(call.arguments);
    for (std::string& argument : arguments) {
      if (argument == "@LIST") argument = "@" + folder.File("list.txt");
    }
    const bool book = std::find(arguments.begin(), arguments.end(), "BOOK") != arguments.end();
    const std::string output = folder.File(book ? "out.xlsx" : "out.txt");
    if (call.before != "-") WriteBytes(output, call.before);
    const Result result = RunMarc2tab(folder, arguments, folder.File("stdout"));
    EXPECT_EQ(result.exitCode, call.exitCode) << call.what << ": " << result.err;
    for (const std::string& piece : Split(call.errHas)) {
      EXPECT_NE(result.err.find(piece), std::string::npos) << call.what << ": " << result.err;
    }
    const std::string after = Exists(output) ? ReadBytes(output) : "-";
    EXPECT_EQ(call.whole ? after : after.substr(0, call.after.size()), call.after) << call.what;
  }
  // The help as a user reads it in each language: every form of the list,
  // every option, and the statuses the calls above end with.
  for (const std::string language : {"zh", "en"}) {
    TempFolder folder;
    const Result help = RunMarc2tab(folder, {"--lang", language, "--help"}, folder.File("stdout"));
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, ReadBytes(QUIRNEL_SOURCE_DIR "/tests/cli/help." + language + ".expected.txt")) << language;
  }
}

// "-" is standard output: the same bytes, and never the input itself. The
// input is the file named, blanks and all.
TEST(Marc2tab, StandardOutput) {
  TempFolder folder;
  WriteBytes(folder.File("in.iso"), kRecord);
  EXPECT_EQ(RunMarc2tab(folder, {"--fields=200a,000?", "IN", "-"}, folder.File("stdout")).out, kExpected);
  WriteBytes(folder.File("blank.iso "), kRecord);
  EXPECT_EQ(RunMarc2tab(folder, {"--fields=200a,000?", folder.File("blank.iso "), "-"}, folder.File("stdout")).out,
            kExpected);
  const Result ontoItsInput = RunMarc2tab(folder, {"IN", "-"}, folder.File("in.iso"), true);
  EXPECT_EQ(ontoItsInput.exitCode, 1);
  EXPECT_EQ(ReadBytes(folder.File("in.iso")), kRecord);
}

// The sample's workbook is the same bytes in every build.
TEST(Marc2tab, TheWorkbookOfTheSample) {
  TempFolder folder;
  const Result sample = RunMarc2tab(
      folder,
      {"--fields", "200a,701a*,606a*,000?", QUIRNEL_SOURCE_DIR "/samples/sample.iso", folder.File("sample.xlsx")},
      folder.File("stdout"));
  EXPECT_EQ(sample.exitCode, 0) << sample.err;
  EXPECT_TRUE(ReadBytes(folder.File("sample.xlsx")) == ReadBytes(QUIRNEL_SOURCE_DIR "/tests/cli/sample.expected.xlsx"))
      << "the sample's workbook is not the committed one";
}

// The census of the sample, as marc2tab prints it.
TEST(Marc2tab, TheCensusOfTheSample) {
  TempFolder folder;
  const Result result =
      RunMarc2tab(folder, {"--census", QUIRNEL_SOURCE_DIR "/samples/sample.iso"}, folder.File("stdout"));
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, ReadBytes(QUIRNEL_SOURCE_DIR "/tests/cli/sample-census.expected.txt"));
}

TEST(Marc2tab, TheSummaryNamesTheMalformedRecords) {
  TempFolder folder;
  std::string bytes = kRecord;
  for (int i = 0; i < 11; ++i) bytes += "junk\r\n";
  WriteBytes(folder.File("in.iso"),
             bytes + RecordBuilder().Coding('a').Field("200", "").WithoutRecordTerminator().Build());
  const Result result = RunMarc2tab(folder, {"IN", "OUT"}, folder.File("stdout"));
  EXPECT_EQ(result.exitCode, 0);
  const std::string firstLines = "marc2tab: 已转换13条记录，其中12条格式有误。\n  输出文件：" + folder.File("out.txt") +
                                 "\n  第2条记录（位于文件第" + std::to_string(kRecord.size()) +
                                 "字节）：记录头之后没有字段结束符，各列写为空值\n";
  EXPECT_EQ(result.err.substr(0, firstLines.size()), firstLines);
  EXPECT_NE(result.err.find("  ……另有2条\n  其中1条记录是UTF-8编码的。\n"), std::string::npos) << result.err;
}

std::string ManyRecords() {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += RecordBuilder().Field("200", "1 " + Sf("a", std::string(600, 'w'))).Build();
  return bytes;
}

// Runs marc2tab with its standard output on `out`, a descriptor this
// process holds, and standard error into the folder's "err".
Result Spawn(const TempFolder& folder, std::vector<std::string> arguments, int out) {
  std::vector<char*> argv{const_cast<char*>(MARC2TAB_PATH)};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, folder.File("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t child = 0;
  int status = -1;
  if (posix_spawn(&child, MARC2TAB_PATH, &actions, nullptr, argv.data(), environ) == 0) waitpid(child, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", ReadBytes(folder.File("err"))};
}

// What a failed append leaves: the file as it was, byte for byte. Past a
// file-size limit (ulimit -f) the lines that did not fit go again; a
// standard output shared with another process that holds it is refused,
// although both write through one open file.
TEST(Marc2tab, FailedAppendsLeaveTheFileAsItWas) {
  TempFolder folder;
  const std::string in = folder.File("in.iso"), out = folder.File("out.txt");
  WriteBytes(in, ManyRecords());

  WriteBytes(out, "old\r\n");
  const std::string command = "ulimit -f 64; " + Quoted(MARC2TAB_PATH) + " --append " + Quoted(in) + " " + Quoted(out) +
                              " 2>" + Quoted(folder.File("err"));
  const int status = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
  EXPECT_NE(ReadBytes(folder.File("err")).find("（超出文件大小上限）。没有写出任何记录。"), std::string::npos)
      << ReadBytes(folder.File("err"));
  EXPECT_EQ(ReadBytes(out), "old\r\n");

  const int shared = ::open(out.c_str(), O_WRONLY | O_APPEND);
  struct flock whole = {};
  whole.l_type = F_WRLCK;
  ASSERT_EQ(::fcntl(shared, F_SETLK, &whole), 0);
  const Result held = Spawn(folder, {in, "-"}, shared);
  ::close(shared);
  EXPECT_EQ(held.exitCode, 1);
  EXPECT_NE(held.err.find("文件正被另一程序使用"), std::string::npos) << held.err;
  EXPECT_EQ(ReadBytes(out), "old\r\n");
}

// A reader that goes away early, with SIGPIPE ignored, is a reason, not a number.
TEST(Marc2tab, AReaderThatGoesAway) {
  TempFolder folder;
  WriteBytes(folder.File("in.iso"), ManyRecords());
  const std::string command = "trap '' PIPE; " + Quoted(MARC2TAB_PATH) + " " + Quoted(folder.File("in.iso")) + " - 2>" +
                              Quoted(folder.File("err")) + " | head -c 1 >" + Quoted(folder.File("out"));
  std::system(command.c_str());
  EXPECT_NE(ReadBytes(folder.File("err")).find("（接收输出的程序已关闭）"), std::string::npos)
      << ReadBytes(folder.File("err"));
}

}  // namespace
