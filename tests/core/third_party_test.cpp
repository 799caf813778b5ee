// Real records written by other people's software, with their real faults:
// every one comes through, one line each, every line with its cells.
#include <gtest/gtest.h>

#include "conversion_run.h"
#include "test_support.h"

namespace {

struct SampleFile {
  const char* name;
  int records;
  int malformed;
};

const SampleFile kFiles[] = {
    {"pymarc/testunimarc.dat", 1, 0},
    {"pymarc/bad_records.mrc", 8, 2},
    {"pymarc/utf8_invalid.mrc", 1, 0},
    {"pymarc/bad_indicator.dat", 1, 0},
    {"pymarc/bad_subfield_code.dat", 1, 0},
    {"pymarc/1251.dat", 6, 0},
    {"marc4j/chinese_mangled_multibyte.mrc", 4, 0},
    {"marc4j/bad_leaders_10_11.mrc", 1, 0},
    {"marc4j/unordered-directory-entries.mrc", 1, 0},
    {"marc4j/bad_oversize_field_bad_directory.mrc", 5, 1},
    {"yaz/marc1.marc", 1, 0},
    {"yaz/marc5.marc", 1, 0},
    {"yaz/marc6.marc", 1, 0},
    {"marcrecord/rusmarc_1.iso", 1, 0},
    {"marcrecord/rusmarc_2.iso", 1, 0},
};

TEST(ThirdPartyRecords, EveryRecordBecomesALineOfAlignedCells) {
  const std::string fields = "000?,001a,200a,245a,020a,650a*";
  for (const SampleFile& file : kFiles) {
    TempFolder folder;
    FakeRunWindow window;
    window.inputPath = std::string(QUIRNEL_TEST_DATA) + "/third-party/" + file.name;
    window.savePath = folder.File("out.txt");
    window.fieldList = fields;
    const RunSummary summary = RunConversion(window, LocalFileSystem());
    EXPECT_EQ(summary.records, file.records) << file.name;
    EXPECT_EQ(summary.malformed, file.malformed) << file.name;
    const std::string text = ReadBytes(window.savePath);
    std::size_t lines = 0;
    for (std::size_t begin = 0, end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2, ++lines) {
      const std::string line = text.substr(begin, end - begin);
      EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 6) << file.name << " line " << lines;
    }
    EXPECT_EQ(lines, static_cast<std::size_t>(file.records) + 1) << file.name;
  }
}

}  // namespace
