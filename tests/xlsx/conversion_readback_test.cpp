// A conversion into a workbook holds every cell as the same conversion into
// UTF-8 text writes it, read back as a spreadsheet reads it: values that
// spreadsheets damage, escape forms, blanks, characters beyond the BMP; but
// control characters are left out, and counted, and values longer than a
// cell cut where they must be.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/messages.h"
#include "conversion.h"
#include "hard_records.h"
#include "test_support.h"
#include "text/text_cell.h"
#include "xlsx_reader.h"

namespace {

// Where two texts first differ, in a few bytes ("" when they are equal):
// some of the values are tens of thousands of bytes long.
std::string FirstDifference(const std::string& got, const std::string& wanted) {
  std::size_t at = 0;
  while (at < got.size() && at < wanted.size() && got[at] == wanted[at]) ++at;
  if (got.size() == wanted.size() && at == got.size()) return "";
  return "at byte " + std::to_string(at) + " of " + std::to_string(got.size()) + " (wanted " +
         std::to_string(wanted.size()) + "): got \"" + got.substr(at, 12) + "\", wanted \"" + wanted.substr(at, 12) +
         "\"";
}

TEST(ConversionReadBack, TheWorkbookHoldsWhatTheTextHolds) {
  const TempFolder folder;
  WriteBytes(folder.File("hard.iso"), HardRecords());
  ConversionRequest request;
  request.inputPath = folder.File("hard.iso");
  request.items = {"001a", "200a*", "000?", " 200a"};
  request.joinSeparator = "";
  request.output = OutputType::Utf8Text;
  request.outputPath = folder.File("table.txt");
  ASSERT_EQ(Convert(request, LocalFileSystem()).outcome, RunSummary::Outcome::Completed);
  request.output = OutputType::Workbook;
  request.outputPath = folder.File("table.xlsx");
  const RunSummary summary = Convert(request, LocalFileSystem());
  ASSERT_EQ(summary.outcome, RunSummary::Outcome::Completed);

  const std::string text = ReadBytes(folder.File("table.txt"));
  const Rows sheet = ReadSheet(ReadZip(ReadBytes(folder.File("table.xlsx"))).Entry("xl/worksheets/sheet1.xml"));
  const std::vector<HardValue> values = RecordedHardValues();
  ASSERT_EQ(sheet.size(), values.size() + 1);
  std::size_t at = 3;  // after the byte order mark
  std::int64_t cut = 0, leftOut = 0, firstLeftOut = 0;
  for (std::size_t row = 0; row < sheet.size(); ++row) {
    const std::string what = row == 0 ? "the header" : values[row - 1].what;
    // A workbook leaves empty cells out, the last ones of a row too.
    ASSERT_LE(sheet[row].size(), request.items.size()) << what;
    std::vector<std::string> cells = sheet[row];
    cells.resize(request.items.size());
    if (row > 0) {  // the value, cut in the workbook only
      EXPECT_EQ(FirstDifference(cells[1], values[row - 1].Expected()), "") << what;
      cells[1] = values[row - 1].given;  // the text's tabs deleted
      cells[1].erase(std::remove(cells[1].begin(), cells[1].end(), '\t'), cells[1].end());
      cut += !values[row - 1].cut.empty();
      if (values[row - 1].leftOut > 0 && leftOut == 0) firstLeftOut = static_cast<std::int64_t>(row);
      leftOut += values[row - 1].leftOut;
    }
    std::string line;  // where a workbook keeps a line break, text has a blank
    for (const std::string& cell : cells) {
      text_cell::Write(cell, [&line](std::string_view piece) { line += piece; });
      line += "\t";
    }
    EXPECT_EQ(FirstDifference(text.substr(at, line.size() + 2), line + "\r\n"), "") << what;
    at += line.size() + 2;
  }
  EXPECT_EQ(at, text.size());
  EXPECT_EQ(summary.cutValues, cut);
  EXPECT_GT(summary.firstCutRecord, 0);
  EXPECT_EQ(summary.deletedControls, leftOut);
  EXPECT_EQ(summary.firstDeletedControlRecord, firstLeftOut);
  EXPECT_NE(Messages(Language::Chinese)
                .Finished(summary, TextEncoding::Utf8, request.outputPath)
                .find("\n" + std::to_string(leftOut) + "个控制字符已删去，第一处在第" + std::to_string(firstLeftOut) +
                      "条记录。"),
            std::string::npos);
}

}  // namespace
