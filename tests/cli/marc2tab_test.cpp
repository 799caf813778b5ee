// marc2tab as a shell script runs it: its arguments, its exit status, what it
// says on standard error, and the files it leaves.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "gbk_text.h"
#include "record_builder.h"
#include "test_support.h"

namespace {

struct Result {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& argument) {
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class Marc2tab : public ::testing::Test {
 protected:
  // Runs marc2tab; its standard output goes to stdoutPath (appended with ">>" when asked).
  Result Run(const std::vector<std::string>& arguments, bool appendStdout = false) {
    std::string command = Quoted(MARC2TAB_PATH);
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    command += (appendStdout ? " >>" : " >") + Quoted(stdoutPath) + " 2>" + Quoted(folder.File("err")) + " </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(stdoutPath), ReadBytes(folder.File("err"))};
  }

  TempFolder folder;
  std::string input = folder.File("records.iso");
  std::string output = folder.File("out.txt");
  std::string stdoutPath = folder.File("stdout");
};

const std::string kRecord = RecordBuilder().Field("001", "B1").Field("200", "1 " + Sf("a", Gbk("中文题名"))).Build();
const std::string kExpected = "200a\t000?\t\r\n" + Gbk("中文题名") + "\t" + Gbk("文字资料印刷品") + "\t\r\n";

TEST_F(Marc2tab, WritesTheSameBytesToAFileAndToStandardOutput) {
  WriteBytes(input, kRecord);
  const Result toFile = Run({"--fields", "200a，000?", input, output});
  EXPECT_EQ(toFile.exitCode, 0);
  EXPECT_EQ(toFile.err, "marc2tab: converted 1 records, 0 malformed\n");
  EXPECT_EQ(ReadBytes(output), kExpected);
  const Result toStdout = Run({"--fields=200a,000?", input, "-"});
  EXPECT_EQ(toStdout.exitCode, 0);
  EXPECT_EQ(toStdout.out, kExpected);
}

TEST_F(Marc2tab, WrongCallsChangeNothing) {
  WriteBytes(input, kRecord);
  const std::vector<std::vector<std::string>> calls = {
      {}, {input}, {input, output, "third"}, {"--fields"}, {"--bogus", input, output},
      {input, ""}, {"", output}, {"--encoding", "latin1", input, output}};
  for (const std::vector<std::string>& arguments : calls) {
    const Result result = Run(arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments.size();
    EXPECT_NE(result.err.find("Usage: marc2tab"), std::string::npos) << result.err;
  }
  EXPECT_FALSE(Exists(output));
  const Result help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("Usage: marc2tab", 0), 0u);
}

TEST_F(Marc2tab, AnExistingOutputNeedsAppend) {
  WriteBytes(input, kRecord);
  WriteBytes(output, "keep\r\n");
  const Result refused = Run({input, output});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find("--append"), std::string::npos);
  EXPECT_EQ(ReadBytes(output), "keep\r\n");
  EXPECT_EQ(Run({"--append", "--fields", "200a,000?", input, output}).exitCode, 0);
  EXPECT_EQ(ReadBytes(output), "keep\r\n" + kExpected);
}

// Reading back its own output would alter the input: refused, by any name.
TEST_F(Marc2tab, TheInputIsNeverTheOutput) {
  WriteBytes(input, kRecord);
  const Result named = Run({"--append", input, input});
  EXPECT_EQ(named.exitCode, 1);
  EXPECT_EQ(named.err, "marc2tab: 输出文件不能是输入文件：" + input + "\n");
  stdoutPath = input;
  const Result redirected = Run({input, "-"}, true);
  EXPECT_EQ(redirected.exitCode, 1);
  EXPECT_EQ(ReadBytes(input), kRecord);
}

TEST_F(Marc2tab, FileErrorsExitWithOne) {
  const Result missing = Run({input, output});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "marc2tab: 无法打开输入文件：" + input + "（文件不存在）\n");

  if (Exists("/proc/self/mem")) {  // reading it from the start fails at once
    const Result unreadable = Run({"/proc/self/mem", output});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_EQ(unreadable.err, "marc2tab: 无法读取输入文件：/proc/self/mem（读写错误）\n");
    EXPECT_FALSE(Exists(output)) << "no file is left behind for nothing";
  }

  WriteBytes(input, kRecord);
  WriteBytes(output, "another run's\r\n");
  const int held = ::open(output.c_str(), O_RDWR);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  const Result locked = Run({"--append", input, output});
  ::close(held);
  EXPECT_EQ(locked.exitCode, 1);
  EXPECT_EQ(locked.err, "marc2tab: 无法创建输出文件：" + output + "（文件正被另一程序使用）\n");
  EXPECT_EQ(ReadBytes(output), "another run's\r\n");
}

TEST_F(Marc2tab, JoinsAndWritesUtf8ButNeverMixesEncodings) {
  WriteBytes(input, RecordBuilder().Field("701", Sf("a", Gbk("甲"))).Field("701", Sf("a", Gbk("乙"))).Build());
  EXPECT_EQ(Run({"--encoding", "utf-8", "--join", " / ", "--fields", "701a*", input, output}).exitCode, 0);
  EXPECT_EQ(ReadBytes(output), "\xEF\xBB\xBF" "701a*\t\r\n甲 / 乙\t\r\n");
  const Result mixed = Run({"--append", "--fields", "701a*", input, output});
  EXPECT_EQ(mixed.exitCode, 2);
  EXPECT_EQ(mixed.err, "marc2tab: 输出文件已是UTF-8编码，不能追加GBK编码的数据：" + output + "（一个文件不能混用两种编码）\n");
  EXPECT_EQ(ReadBytes(output), "\xEF\xBB\xBF" "701a*\t\r\n甲 / 乙\t\r\n");
}

TEST_F(Marc2tab, TheSummaryNamesTheMalformedRecords) {
  std::string bytes = kRecord;
  for (int i = 0; i < 11; ++i) bytes += "junk\r\n";
  WriteBytes(input, bytes + RecordBuilder().Field("200", "").WithoutRecordTerminator().Build());
  const Result result = Run({input, output});
  EXPECT_EQ(result.exitCode, 0);
  const std::string first = std::to_string(kRecord.size());
  EXPECT_EQ(result.err.substr(0, result.err.find('\n', result.err.find('\n') + 1) + 1),
            "marc2tab: converted 13 records, 12 malformed\n  record 2 at byte " + first +
                ": unreadable (no field terminator after the leader), written as empty cells\n");
  EXPECT_NE(result.err.find("  ... and 2 more\n"), std::string::npos) << result.err;
}

}  // namespace
