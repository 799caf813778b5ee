// Real records written by other people's software, with their real faults:
// every one must come through, one line each, columns aligned.
#include <gtest/gtest.h>

#include <algorithm>

#include "conversion_run.h"
#include "fake_run_window.h"
#include "gbk_text.h"
#include "temp_folder.h"

namespace {

const std::string kFields = "000?,001a,200a,245a,020a,650a";
constexpr std::size_t kColumns = 6;

std::string DataFile(const std::string& name) { return std::string(QUIRNEL_TEST_DATA) + "/third-party/" + name; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  for (std::size_t at; (at = text.find("\r\n", begin)) != std::string::npos; begin = at + 2) {
    lines.push_back(text.substr(begin, at - begin));
  }
  EXPECT_EQ(begin, text.size()) << "output must end with a line break";
  return lines;
}

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t begin = 0;
  for (std::size_t at; (at = line.find('\t', begin)) != std::string::npos; begin = at + 1) {
    cells.push_back(line.substr(begin, at - begin));
  }
  EXPECT_EQ(begin, line.size()) << "every cell ends with a tab";
  return cells;
}

struct Converted {
  RunSummary summary;
  std::vector<std::vector<std::string>> rows;  // without the header
};

Converted Convert(const std::string& name) {
  TempFolder folder;
  FakeRunWindow window;
  window.inputPath = DataFile(name);
  window.savePath = folder.File("out.txt");
  window.fieldList = kFields;
  Converted converted;
  converted.summary = RunConversion(window, LocalFileSystem());
  const std::vector<std::string> lines = Lines(ReadBytes(window.savePath));
  for (std::size_t i = 1; i < lines.size(); ++i) converted.rows.push_back(Cells(lines[i]));
  return converted;
}

struct SampleFile {
  const char* name;
  int records;  // record terminators in the file
};

const SampleFile kFiles[] = {
    {"pymarc/testunimarc.dat", 1},
    {"pymarc/bad_records.mrc", 8},
    {"pymarc/utf8_invalid.mrc", 1},
    {"pymarc/bad_indicator.dat", 1},
    {"pymarc/bad_subfield_code.dat", 1},
    {"pymarc/1251.dat", 6},
    {"marc4j/chinese_mangled_multibyte.mrc", 4},
    {"marc4j/bad_leaders_10_11.mrc", 1},
    {"marc4j/unordered-directory-entries.mrc", 1},
    {"marc4j/bad_oversize_field_bad_directory.mrc", 5},
    {"yaz/marc1.marc", 1},
    {"yaz/marc5.marc", 1},
    {"yaz/marc6.marc", 1},
    {"marcrecord/rusmarc_1.iso", 1},
    {"marcrecord/rusmarc_2.iso", 1},
};

}  // namespace

TEST(ThirdPartyRecords, EveryRecordOfEveryFileBecomesOneAlignedLine) {
  for (const SampleFile& file : kFiles) {
    const std::string bytes = ReadBytes(DataFile(file.name));
    ASSERT_EQ(std::count(bytes.begin(), bytes.end(), '\x1D'), file.records) << file.name;
    const Converted converted = Convert(file.name);
    EXPECT_EQ(converted.summary.outcome, RunSummary::Outcome::Completed) << file.name;
    EXPECT_EQ(converted.summary.records, file.records) << file.name;
    ASSERT_EQ(converted.rows.size(), static_cast<std::size_t>(file.records)) << file.name;
    for (const std::vector<std::string>& row : converted.rows) EXPECT_EQ(row.size(), kColumns) << file.name;
  }
}

TEST(ThirdPartyRecords, UnimarcTitleAndControlNumber) {
  const Converted converted = Convert("pymarc/testunimarc.dat");
  ASSERT_EQ(converted.rows.size(), 1u);
  const std::vector<std::string>& row = converted.rows[0];
  EXPECT_EQ(row[0], Gbk("文字资料印刷品"));
  EXPECT_EQ(row[1], "IT\\ICCU\\ANA\\0019370");
  EXPECT_EQ(row[2], "\xC2\x88L'\xC2\x89" "altra faccia della spirale");
}

TEST(ThirdPartyRecords, DirectoryOrderDecidesNotDataOrder) {
  const Converted converted = Convert("marc4j/unordered-directory-entries.mrc");
  ASSERT_EQ(converted.rows.size(), 1u);
  const std::vector<std::string>& row = converted.rows[0];
  EXPECT_EQ(row[1], "0000016524");
  EXPECT_EQ(row[3], "About parrots :");
  // The first 020 and 650 in the directory lie after the second ones in the data.
  EXPECT_EQ(row[4], "9781561457953 (lib. bdg.) :");
  EXPECT_EQ(row[5], "Parrots.");
}

TEST(ThirdPartyRecords, BadDirectoryGivesARowOfEmptyCells) {
  const Converted converted = Convert("marc4j/bad_oversize_field_bad_directory.mrc");
  ASSERT_EQ(converted.rows.size(), 5u);
  EXPECT_EQ(converted.rows[1], std::vector<std::string>(kColumns));
  EXPECT_EQ(converted.rows[2][1], "drd-34891936");
  EXPECT_EQ(converted.summary.malformed, 1);
  ASSERT_EQ(converted.summary.firstMalformed.size(), 1u);
  EXPECT_EQ(converted.summary.firstMalformed[0].number, 2);
  EXPECT_EQ(converted.summary.firstMalformed[0].offset, 1571u);
}

TEST(ThirdPartyRecords, ThirteenByteDirectoriesAndAnEmptyOne) {
  const Converted converted = Convert("pymarc/bad_records.mrc");
  ASSERT_EQ(converted.rows.size(), 8u);
  EXPECT_EQ(converted.rows[0][3], "The pragmatic programmer : ");
  EXPECT_EQ(converted.rows[3], std::vector<std::string>(kColumns));
  EXPECT_EQ(converted.rows[4], std::vector<std::string>(kColumns));
  EXPECT_EQ(converted.rows[6], std::vector<std::string>(kColumns));  // empty directory, blank type
  ASSERT_EQ(converted.summary.firstMalformed.size(), 2u);
  EXPECT_EQ(converted.summary.firstMalformed[0].offset, 381u);
  EXPECT_EQ(converted.summary.firstMalformed[1].offset, 509u);
}

TEST(ThirdPartyRecords, TypeByteOutsideTheTableGivesNoName) {
  const Converted converted = Convert("marcrecord/rusmarc_2.iso");
  ASSERT_EQ(converted.rows.size(), 1u);
  EXPECT_EQ(converted.rows[0][0], "");
}
