// A conversion into a workbook holds every cell as the same conversion into
// UTF-8 text writes it, read back as a spreadsheet reads it: values that
// spreadsheets damage, control bytes, escape forms, blanks, characters
// beyond the BMP, and values longer than a cell cut where they must be.
#include <gtest/gtest.h>

#include "conversion.h"
#include "hard_records.h"
#include "test_support.h"
#include "xlsx_reader.h"

namespace {

// Where two texts first differ, in a few bytes ("" when they are equal):
// some of the values are tens of thousands of bytes long.
std::string FirstDifference(const std::string& got, const std::string& wanted) {
  if (got == wanted) return "";
  std::size_t at = 0;
  while (at < got.size() && at < wanted.size() && got[at] == wanted[at]) ++at;
  return "at byte " + std::to_string(at) + " of " + std::to_string(got.size()) + " (wanted " +
         std::to_string(wanted.size()) + "): got \"" + got.substr(at, 12) + "\", wanted \"" + wanted.substr(at, 12) +
         "\"";
}

// The cells of text lines (CR LF after each, a tab after each cell; an LF
// inside a cell is the cell's).
Rows ReadTextTable(std::string text) {
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  Rows rows;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    const std::string line = text.substr(at, end - at);
    rows.emplace_back();
    for (std::size_t cell = 0; cell < line.size();) {
      const std::size_t tab = line.find('\t', cell);
      rows.back().push_back(line.substr(cell, tab - cell));
      cell = tab + 1;
    }
    at = end + 2;
  }
  return rows;
}

TEST(ConversionReadBack, TheWorkbookHoldsWhatTheTextHolds) {
  const TempFolder folder;
  WriteBytes(folder.File("hard.iso"), HardRecords());
  ConversionRequest request;
  request.inputPath = folder.File("hard.iso");
  request.items = {"001a", "200a*", "000?", " 200a"};
  request.joinSeparator = "";
  request.outputEncoding = TextEncoding::Utf8;
  request.outputPath = folder.File("table.txt");
  ASSERT_EQ(Convert(request, LocalFileSystem()).outcome, RunSummary::Outcome::Completed);
  request.format = TableFormat::Workbook;
  request.outputPath = folder.File("table.xlsx");
  const RunSummary summary = Convert(request, LocalFileSystem());
  ASSERT_EQ(summary.outcome, RunSummary::Outcome::Completed);

  const Rows text = ReadTextTable(ReadBytes(folder.File("table.txt")));
  const Rows sheet = ReadSheet(ReadZip(ReadBytes(folder.File("table.xlsx"))).entries.at("xl/worksheets/sheet1.xml"));
  const std::vector<HardValue> values = RecordedHardValues();
  ASSERT_EQ(text.size(), values.size() + 1);
  ASSERT_EQ(sheet.size(), text.size());
  std::int64_t cut = 0;
  for (std::size_t row = 0; row < text.size(); ++row) {
    const std::string what = row == 0 ? "the header" : values[row - 1].what;
    // A workbook leaves empty cells out, the last ones of a row too.
    ASSERT_LE(sheet[row].size(), text[row].size()) << what;
    std::vector<std::string> cells = sheet[row];
    cells.resize(text[row].size());
    for (std::size_t column = 0; column < text[row].size(); ++column) {
      const bool valueColumn = row > 0 && column == 1;
      const std::string expected = valueColumn ? values[row - 1].Expected() : text[row][column];
      EXPECT_EQ(FirstDifference(cells[column], expected), "") << what << ", column " << column;
      if (valueColumn) {
        EXPECT_EQ(FirstDifference(text[row][column], values[row - 1].given), "") << what;
        cut += !values[row - 1].cut.empty();
      }
    }
  }
  EXPECT_EQ(summary.cutValues, cut);
  EXPECT_GT(summary.firstCutRecord, 0);
}

}  // namespace
