#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "gbk_text.h"
#include "record_builder.h"
#include "temp_folder.h"

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
  Result Run(const std::vector<std::string>& arguments) {
    std::string command = Quoted(MARC2TAB_PATH);
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    const std::string out = folder.File("stdout");
    const std::string err = folder.File("stderr");
    command += " >" + Quoted(out) + " 2>" + Quoted(err) + " </dev/null";
    const int status = std::system(command.c_str());
    Result result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBytes(out);
    result.err = ReadBytes(err);
    return result;
  }

  TempFolder folder;
  std::string input = folder.File("records.iso");
  std::string output = folder.File("out.txt");
};

const std::string kFirst =
    RecordBuilder().Field("001", "B1").Field("200", "1 " + Sf("a", Gbk("中文题名")) + Sf("f", Gbk("张三"))).Build();
const std::string kSecond = RecordBuilder().Type('m').Field("200", "1 " + Sf("a", "Two\tTabs")).Build();
const std::string kExpected = "200a\t200f\t000?\t\r\n" + Gbk("中文题名") + "\t" + Gbk("张三") + "\t" +
                              Gbk("文字资料印刷品") + "\t\r\n" + "TwoTabs\t\t" + Gbk("多媒体") + "\t\r\n";

}  // namespace

TEST_F(Marc2tab, WritesTheExactBytes) {
  WriteBytes(input, kFirst + "\r\n" + kSecond + "\r\n");
  const Result result = Run({"--fields", "200a,200f,000?", input, output});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(ReadBytes(output), kExpected);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "marc2tab: converted 2 records, 0 malformed\n");
}

TEST_F(Marc2tab, FullWidthCommaInTheFieldList) {
  WriteBytes(input, kFirst + kSecond);
  EXPECT_EQ(Run({"--fields=200a，200f,000?", input, output}).exitCode, 0);
  EXPECT_EQ(ReadBytes(output), kExpected);
}

TEST_F(Marc2tab, DashWritesToStandardOutputTheSameBytes) {
  WriteBytes(input, kFirst + "\r\n" + kSecond);
  const Result result = Run({"--fields", "200a,200f,000?", input, "-"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, kExpected);
}

TEST_F(Marc2tab, DefaultFieldList) {
  WriteBytes(input, kFirst);
  EXPECT_EQ(Run({input, output}).exitCode, 0);
  EXPECT_EQ(ReadBytes(output),
            "010a\t010d\t101a\t200a\t200f\t200g\t210a\t210c\t210d\t215a\t215d\t225a\t330a\t606a\t690a\t\r\n"
            "\t\t\t" + Gbk("中文题名") + "\t" + Gbk("张三") + "\t\t\t\t\t\t\t\t\t\t\t\r\n");
}

TEST_F(Marc2tab, RefusesAnExistingFileWithoutAppend) {
  WriteBytes(input, kFirst);
  const std::string existing = "keep me\r\n";
  WriteBytes(output, existing);
  const Result result = Run({input, output});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("--append"), std::string::npos) << result.err;
  EXPECT_EQ(ReadBytes(output), existing);
}

TEST_F(Marc2tab, AppendAddsASecondHeader) {
  WriteBytes(input, kFirst);
  EXPECT_EQ(Run({"--fields", "001a", input, output}).exitCode, 0);
  EXPECT_EQ(Run({"--append", "--fields", "200a", input, output}).exitCode, 0);
  EXPECT_EQ(ReadBytes(output), "001a\t\r\nB1\t\r\n200a\t\r\n" + Gbk("中文题名") + "\t\r\n");
}

TEST_F(Marc2tab, AppendingToTheInputItselfIsRefused) {
  WriteBytes(input, kFirst);
  const Result result = Run({"--append", input, input});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "marc2tab: 输出文件不能是输入文件：" + input + "\n");
  EXPECT_EQ(ReadBytes(input), kFirst);
}

TEST_F(Marc2tab, MissingInput) {
  const std::string missing = folder.File("missing.iso");
  const Result result = Run({missing, output});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "marc2tab: 无法打开输入文件：" + missing + "（文件不存在）\n");
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(Marc2tab, InputThatIsAFolder) {
  const Result result = Run({folder.Path().u8string(), output});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("这是一个文件夹"), std::string::npos) << result.err;
}

TEST_F(Marc2tab, FullDisk) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP();
  WriteBytes(input, kFirst);
  const Result result = Run({"--append", input, "/dev/full"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "marc2tab: 无法写入输出文件：/dev/full（磁盘空间不足）\n");
}

TEST_F(Marc2tab, Help) {
  const Result result = Run({"--help"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out.rfind("Usage: marc2tab [--fields LIST] [--append] INPUT OUTPUT\n", 0), 0u) << result.out;
  EXPECT_EQ(result.err, "");
}

TEST_F(Marc2tab, WrongUsage) {
  WriteBytes(input, kFirst);
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {}, {input}, {input, output, "third"}, {"--fields"}, {"--bogus", input, output}}) {
    const Result result = Run(arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments.size();
    EXPECT_NE(result.err.find("Usage: marc2tab"), std::string::npos) << result.err;
  }
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(Marc2tab, SummaryNamesTheMalformedRecords) {
  const std::string refused = RecordBuilder().Field("200", "1 " + Sf("a", "R")).DirectoryTail("X").Build();
  const std::string bad = RecordBuilder().Field("200", "1 " + Sf("a", "L")).LengthText(0, "12a4").Build();
  WriteBytes(input, kFirst + "\r\n" + refused + "\r\n" + bad + "\r\njunk\r\n" + kSecond);
  const Result result = Run({"--fields", "200a", input, output});
  EXPECT_EQ(result.exitCode, 0);
  const std::size_t second = kFirst.size() + 2;
  const std::size_t third = second + refused.size() + 2;
  const std::size_t fourth = third + bad.size() + 2;
  EXPECT_EQ(result.err,
            "marc2tab: converted 5 records, 3 malformed\n"
            "  record 2 at byte " + std::to_string(second) +
                ": refused (directory length not a multiple of 12), written as empty cells\n"
                "  record 3 at byte " + std::to_string(third) +
                ": a directory entry with an unusable length or start, written as an empty cell\n"
                "  record 4 at byte " + std::to_string(fourth) +
                ": unreadable (no field terminator after the leader), written as empty cells\n");
  EXPECT_EQ(ReadBytes(output), "200a\t\r\n" + Gbk("中文题名") + "\t\r\n\t\r\n\t\r\n\t\r\nTwoTabs\t\r\n");
}

TEST_F(Marc2tab, ManyMalformedRecordsAreSummedUp) {
  std::string bytes;
  for (int i = 0; i < 12; ++i) bytes += "junk\r\n";
  WriteBytes(input, bytes);
  const Result result = Run({input, output});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.err.find("marc2tab: converted 12 records, 12 malformed\n"), std::string::npos);
  EXPECT_NE(result.err.find("  record 10 at byte 54: "), std::string::npos);
  EXPECT_EQ(result.err.find("  record 11 "), std::string::npos);
  EXPECT_NE(result.err.find("  ... and 2 more\n"), std::string::npos) << result.err;
}
