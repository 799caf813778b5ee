// A real spreadsheet program opens a workbook the writer made: LibreOffice
// Calc, headless, saves every sheet as CSV with each text cell quoted. Every
// value must come back as the text it was (a number would come back
// unquoted), and the rows split across sheets each under the header row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "conversion.h"
#include "hard_records.h"
#include "memory_sink.h"
#include "test_support.h"
#include "xlsx_writer.h"

namespace {

struct Field {
  std::string text;
  bool quoted = false;
};
using CsvRows = std::vector<std::vector<Field>>;

// RFC 4180 as LibreOffice writes it: "" inside quotes, line breaks inside
// quoted fields, LF after each row.
CsvRows ReadCsv(const std::string& csv) {
  CsvRows rows(1, std::vector<Field>(1));
  for (std::size_t at = 0; at < csv.size(); ++at) {
    Field& field = rows.back().back();
    if (csv[at] == '"' && field.text.empty() && !field.quoted) {
      field.quoted = true;
      for (++at; at < csv.size(); ++at) {
        if (csv[at] == '"' && csv.compare(at, 2, "\"\"") != 0) break;  // the closing quote
        if (csv[at] == '"') ++at;
        field.text += csv[at];
      }
    } else if (csv[at] == ',') {
      rows.back().emplace_back();
    } else if (csv[at] == '\n') {
      rows.emplace_back(1);
    } else {
      field.text += csv[at];
    }
  }
  if (rows.back().size() == 1 && rows.back()[0].text.empty() && !rows.back()[0].quoted) rows.pop_back();
  return rows;
}

// LibreOffice holds a cell with line breaks as paragraphs: there each CR
// (or CR LF) becomes a line break. A CR in a one-line cell stays.
std::string AsLibreOfficeHoldsIt(std::string text) {
  if (text.find('\n') == std::string::npos) return text;
  std::string lines;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\r') {
      lines += '\n';
      if (at + 1 < text.size() && text[at + 1] == '\n') ++at;
    } else {
      lines += text[at];
    }
  }
  return lines;
}

class FileSink : public ByteSink {
 public:
  explicit FileSink(const std::string& path) : out_(std::filesystem::u8path(path), std::ios::binary) {}
  bool Write(const char* data, std::size_t size) override {
    return static_cast<bool>(out_.write(data, static_cast<std::streamsize>(size)));
  }

 private:
  std::ofstream out_;
};

constexpr std::int64_t kRowsPerSheet = 12;

// Calc saves every sheet of the folder's book.xlsx as csv/book-记录N.csv,
// each text cell quoted. With its own profile and home, both in the test's
// folder. "" when it did, else what it said.
std::string SaveSheetsAsCsv(const TempFolder& folder) {
  const std::string command =
      "HOME='" + folder.File("") + "' '" QUIRNEL_SOFFICE "' --headless -env:UserInstallation=file://" +
      folder.File("profile") +
      " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,false,false,false,-1' --outdir '" +
      folder.File("csv") + "' '" + folder.File("book.xlsx") + "' >'" + folder.File("soffice.log") + "' 2>&1";
  return std::system(command.c_str()) == 0 ? "" : "soffice failed: " + ReadBytes(folder.File("soffice.log"));
}

TEST(LibreOffice, ReadsEveryValueBackAsText) {
  const TempFolder folder;
  const std::vector<std::string> header = {"序号", "值", " 200a "};
  {
    FileSink sink(folder.File("book.xlsx"));
    XlsxLimits limits;
    limits.rowsPerSheet = kRowsPerSheet;
    XlsxWriter writer(sink, header, limits);
    for (std::size_t i = 0; i < kHardValues.size(); ++i) {
      writer.StartRow();
      writer.AddCell(std::to_string(i + 1));
      writer.AddCell(kHardValues[i].given);
      writer.AddCell("0" + std::to_string(i + 1));
      ASSERT_TRUE(writer.EndRow());
    }
    ASSERT_TRUE(writer.Finish());
  }
  ASSERT_EQ(SaveSheetsAsCsv(folder), "");

  const std::size_t sheets = (kHardValues.size() + kRowsPerSheet - 1) / kRowsPerSheet;
  std::size_t next = 0;
  for (std::size_t sheet = 1; sheet <= sheets + 1; ++sheet) {
    const std::string path = folder.File("csv/book-记录" + std::to_string(sheet) + ".csv");
    ASSERT_EQ(Exists(path), sheet <= sheets) << path;
    if (sheet > sheets) break;
    const CsvRows rows = ReadCsv(ReadBytes(path));
    ASSERT_FALSE(rows.empty());
    for (std::size_t column = 0; column < header.size(); ++column) {
      EXPECT_EQ(rows[0][column].text, header[column]);
    }
    for (std::size_t row = 1; row < rows.size(); ++row, ++next) {
      ASSERT_LT(next, kHardValues.size());
      const HardValue& value = kHardValues[next];
      SCOPED_TRACE(value.what);
      ASSERT_EQ(rows[row].size(), 3u);
      EXPECT_EQ(rows[row][0].text, std::to_string(next + 1));
      EXPECT_TRUE(rows[row][1].text == AsLibreOfficeHoldsIt(value.Expected())) << rows[row][1].text.substr(0, 80);
      EXPECT_EQ(rows[row][2].text, "0" + std::to_string(next + 1));
      for (const Field& field : rows[row]) {
        EXPECT_TRUE(field.quoted || field.text.empty()) << "not text: " << field.text.substr(0, 80);
      }
    }
  }
  EXPECT_EQ(next, kHardValues.size());
}

// A workbook the conversion writes from records holding the hard values:
// each comes back from Calc as text, exactly, and the record numbers with
// their leading zeros.
TEST(LibreOffice, ReadsAConvertedWorkbookAsTheRecordsHoldIt) {
  const TempFolder folder;
  WriteBytes(folder.File("hard.iso"), HardRecords());
  ConversionRequest request;
  request.inputPath = folder.File("hard.iso");
  request.outputPath = folder.File("book.xlsx");
  request.format = TableFormat::Workbook;
  request.items = {"001a", "200a*"};
  request.joinSeparator = "";
  ASSERT_EQ(Convert(request, LocalFileSystem()).outcome, RunSummary::Outcome::Completed);
  ASSERT_EQ(SaveSheetsAsCsv(folder), "");

  const CsvRows rows = ReadCsv(ReadBytes(folder.File("csv/book-记录1.csv")));
  const std::vector<HardValue> values = RecordedHardValues();
  ASSERT_EQ(rows.size(), values.size() + 1);
  EXPECT_EQ(rows[0][0].text, "001a");
  EXPECT_EQ(rows[0][1].text, "200a*");
  for (std::size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(values[i].what);
    ASSERT_EQ(rows[i + 1].size(), 2u);
    EXPECT_EQ(rows[i + 1][0].text, "00" + std::to_string(i + 1));
    EXPECT_TRUE(rows[i + 1][1].text == AsLibreOfficeHoldsIt(values[i].Expected())) << rows[i + 1][1].text.substr(0, 80);
    for (const Field& field : rows[i + 1]) {
      EXPECT_TRUE(field.quoted || field.text.empty()) << "not text: " << field.text.substr(0, 80);
    }
  }
}

}  // namespace
