// marc2tab as a shell script runs it: its arguments, its exit status, what it
// says on standard error, and the files it leaves.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "record_builder.h"
#include "test_support.h"

namespace {

const std::string kRecord = RecordBuilder().Field("001", "B1").Field("200", "1 " + Sf("a", Gbk("中文题名"))).Build();
const std::string kExpected = "200a\t000?\t\r\n" + Gbk("中文题名") + "\t" + Gbk("文字资料印刷品") + "\t\r\n";
const std::string kJoined = RecordBuilder().Field("701", Sf("a", Gbk("甲"))).Field("701", Sf("a", Gbk("乙"))).Build();
const std::string kUtf8Joined = "\xEF\xBB\xBF" "701a*\t\r\n甲 / 乙\t\r\n";

struct Result {
  int exitCode = -1;
  std::string out, err;
};

std::string Quoted(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs marc2tab in the folder; "IN" and "OUT" in the arguments stand for the
// input and output files there. Standard output goes to `out` (">>" when
// appending), standard error to `err`.
Result RunMarc2tab(const TempFolder& folder, std::vector<std::string> arguments, const std::string& out, bool append = false) {
  std::string command = Quoted(MARC2TAB_PATH);
  for (std::string& argument : arguments) {
    if (argument == "IN" || argument == "OUT") argument = folder.File(argument == "IN" ? "in.iso" : "out.txt");
    command += " " + Quoted(argument);
  }
  command += (append ? " >>" : " >") + Quoted(out) + " 2>" + Quoted(folder.File("err")) + " </dev/null";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(out), ReadBytes(folder.File("err"))};
}

struct Call {
  const char* what;
  std::string input;         // "-" for none
  std::string outputBefore;  // "-" for none
  std::vector<std::string> arguments;
  int exitCode;
  std::string errHas;       // a piece of what standard error says
  std::string outputAfter;  // "-" for none
};

const Call kCalls[] = {
    {"converts", kRecord, "-", {"--fields", "200a，000?", "IN", "OUT"}, 0,
     "marc2tab: converted 1 records, 0 malformed\n", kExpected},
    {"no output", kRecord, "-", {"IN"}, 2, "Usage: marc2tab", "-"},
    {"a third file", kRecord, "-", {"IN", "OUT", "third"}, 2, "Usage: marc2tab", "-"},
    {"a list missing", kRecord, "-", {"IN", "OUT", "--fields"}, 2, "Usage: marc2tab", "-"},
    {"an unknown option", kRecord, "-", {"--bogus", "IN", "OUT"}, 2, "Usage: marc2tab", "-"},
    {"an empty output name", kRecord, "-", {"IN", ""}, 2, "OUTPUT is empty", "-"},
    {"an empty input name", kRecord, "-", {"", "OUT"}, 2, "INPUT is empty", "-"},
    {"an unknown encoding", kRecord, "-", {"--encoding", "latin1", "IN", "OUT"}, 2, "Usage: marc2tab", "-"},
    {"an empty list: no columns", kRecord, "-", {"--fields", "", "IN", "OUT"}, 0, "", "\r\n\r\n"},
    {"an output that exists", kRecord, "keep\r\n", {"IN", "OUT"}, 2, "use --append", "keep\r\n"},
    {"appended", kRecord, "keep\r\n", {"--append", "--fields", "200a,000?", "IN", "OUT"}, 0, "", "keep\r\n" + kExpected},
    {"the input as output", kRecord, "-", {"--append", "IN", "IN"}, 1, "输出文件不能是输入文件：", "-"},
    {"no input", "-", "-", {"IN", "OUT"}, 1, "in.iso（文件不存在）\n", "-"},
    {"an input that cannot be read: no file left for nothing", "-", "-", {"/proc/self/mem", "OUT"}, 1,
     "无法读取输入文件：/proc/self/mem（读写错误）\n", "-"},
    {"joined, in UTF-8", kJoined, "-", {"--encoding", "utf-8", "--join", " / ", "--fields", "701a*", "IN", "OUT"}, 0,
     "", kUtf8Joined},
    {"GBK after UTF-8", kJoined, kUtf8Joined, {"--append", "--fields", "701a*", "IN", "OUT"}, 2,
     "输出文件已是UTF-8编码，不能追加GBK编码的数据：", kUtf8Joined},
};

TEST(Marc2tab, ArgumentsExitStatusAndFiles) {
  for (const Call& call : kCalls) {
    TempFolder folder;
    if (call.input != "-") WriteBytes(folder.File("in.iso"), call.input);
    if (call.outputBefore != "-") WriteBytes(folder.File("out.txt"), call.outputBefore);
    const Result result = RunMarc2tab(folder, call.arguments, folder.File("stdout"));
    EXPECT_EQ(result.exitCode, call.exitCode) << call.what;
    EXPECT_NE(result.err.find(call.errHas), std::string::npos) << call.what << ": " << result.err;
    const std::string output = folder.File("out.txt");
    EXPECT_EQ(Exists(output) ? ReadBytes(output) : "-", call.outputAfter) << call.what;
  }
  TempFolder folder;
  const Result help = RunMarc2tab(folder, {"--help"}, folder.File("stdout"));
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("Usage: marc2tab", 0), 0u);
}

// "-" is standard output: the same bytes, and never the input itself. The
// input is the file named, blanks and all.
TEST(Marc2tab, StandardOutput) {
  TempFolder folder;
  WriteBytes(folder.File("in.iso"), kRecord);
  EXPECT_EQ(RunMarc2tab(folder, {"--fields=200a,000?", "IN", "-"}, folder.File("stdout")).out, kExpected);
  WriteBytes(folder.File("blank.iso "), kRecord);
  EXPECT_EQ(RunMarc2tab(folder, {"--fields=200a,000?", folder.File("blank.iso "), "-"}, folder.File("stdout")).out, kExpected);
  const Result ontoItsInput = RunMarc2tab(folder, {"IN", "-"}, folder.File("in.iso"), true);
  EXPECT_EQ(ontoItsInput.exitCode, 1);
  EXPECT_EQ(ReadBytes(folder.File("in.iso")), kRecord);
}

TEST(Marc2tab, TheSummaryNamesTheMalformedRecords) {
  TempFolder folder;
  std::string bytes = kRecord;
  for (int i = 0; i < 11; ++i) bytes += "junk\r\n";
  WriteBytes(folder.File("in.iso"), bytes + RecordBuilder().Coding('a').Field("200", "").WithoutRecordTerminator().Build());
  const Result result = RunMarc2tab(folder, {"IN", "OUT"}, folder.File("stdout"));
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err.substr(0, result.err.find('\n', result.err.find('\n') + 1) + 1),
            "marc2tab: converted 13 records, 12 malformed\n  record 2 at byte " + std::to_string(kRecord.size()) +
                ": unreadable (no field terminator after the leader), written as empty cells\n");
  EXPECT_NE(result.err.find("  ... and 2 more\n  1 records read as UTF-8\n"), std::string::npos) << result.err;
}

}  // namespace
