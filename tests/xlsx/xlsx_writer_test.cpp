// The workbook as a spreadsheet program reads it: every value comes back as
// the text it was (cut where Excel's limit says), rows continue on further
// sheets under their own header row, and a failing sink is reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>

#include <zlib.h>

#include "hard_values.h"
#include "memory_sink.h"
#include "xlsx_reader.h"
#include "xlsx_writer.h"

namespace {

using Table = std::vector<std::vector<std::string>>;

struct Workbook {
  ZipContents zip;
  std::int64_t rows = 0, cutCells = 0, firstCutRow = 0;
  int sheets = 0;

  Rows Sheet(int number) const { return ReadSheet(Part("xl/worksheets/sheet" + std::to_string(number) + ".xml")); }
  const std::string& Part(const std::string& name) const { return zip.entries.at(name); }
};

Workbook Write(const std::vector<std::string>& header, const Table& rows, XlsxLimits limits = {}, ZipOptions zip = {}) {
  MemorySink sink;
  XlsxWriter writer(sink, header, limits, zip);
  for (const auto& row : rows) {
    writer.StartRow();
    for (const std::string& cell : row) writer.AddCell(cell);
    EXPECT_TRUE(writer.EndRow());
  }
  EXPECT_TRUE(writer.Finish());
  return {ReadZip(sink.bytes), writer.Rows(), writer.CutCells(), writer.FirstCutRow(), writer.Sheets()};
}

TEST(Xlsx, EveryValueReadsBackAsText) {
  Table table;
  for (const HardValue& value : kHardValues) table.push_back({value.what, value.given});
  const Workbook book = Write({"what", "value"}, table);
  const Rows rows = book.Sheet(1);
  ASSERT_EQ(rows.size(), table.size() + 1);
  std::int64_t cut = 0, firstCut = 0;
  for (std::size_t i = 0; i < kHardValues.size(); ++i) {
    const HardValue& value = kHardValues[i];
    std::vector<std::string> expected = {value.what};
    if (!value.given.empty()) expected.push_back(value.Expected());
    EXPECT_TRUE(rows[i + 1] == expected) << value.what << ": " << rows[i + 1].back().substr(0, 80);
    if (!value.cut.empty()) {
      ++cut;
      if (firstCut == 0) firstCut = static_cast<std::int64_t>(i) + 1;
    }
  }
  EXPECT_EQ(book.cutCells, cut);
  EXPECT_EQ(book.firstCutRow, firstCut);
}

// Empty cells stay empty in their place; wrong use (more cells than the
// header) is simply written.
TEST(Xlsx, CellsKeepTheirColumns) {
  const Workbook book = Write({"a", "", "c"}, {{"1", "", "3"}, {"", "", "", "4"}, {}, {"x"}});
  EXPECT_EQ(book.Sheet(1), (Rows{{"a", "", "c"}, {"1", "", "3"}, {"", "", "", "4"}, {}, {"x"}}));
}

// "'记录2'!$A$1:$C$4" and the like: each sheet's filter range.
std::vector<std::string> FilterNames(const std::string& workbook) {
  std::vector<std::string> names;
  const std::regex name("<definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"(\\d+)\" hidden=\"1\">([^<]*)<");
  for (std::sregex_iterator it(workbook.begin(), workbook.end(), name), end; it != end; ++it) {
    names.push_back((*it)[1].str() + ":" + (*it)[2].str());
  }
  return names;
}

// Rows past a sheet's share continue on the next sheet, each under the
// header row again, frozen and filtered; no sheet is left empty.
TEST(Xlsx, RowsContinueOnFurtherSheets) {
  const struct {
    int rows;
    std::int64_t perSheet;
    std::size_t cellSize;
    std::vector<int> rowsPerSheet;
  } kSplits[] = {
      {0, 3, 1, {0}},
      {3, 3, 1, {3}},
      {7, 3, 1, {3, 3, 1}},
      {6, 3, 1, {3, 3}},
      {5, 1, 1, {1, 1, 1, 1, 1}},
      {250, 120, 1, {120, 120, 10}},  // past the rows measured for the column widths
      {60, 50, 30000, {50, 10}},      // measuring stopped by its byte limit
  };
  for (const auto& split : kSplits) {
    SCOPED_TRACE(std::to_string(split.rows) + " rows, " + std::to_string(split.perSheet) + " a sheet");
    Table table;
    for (int i = 1; i <= split.rows; ++i) {
      table.push_back({std::to_string(i), std::string(split.cellSize, 'v'), "题名" + std::to_string(i)});
    }
    XlsxLimits limits;
    limits.rowsPerSheet = split.perSheet;
    const std::vector<std::string> header = {"001", "200a", "题名 "};
    const Workbook book = Write(header, table, limits);
    EXPECT_EQ(book.rows, split.rows);
    ASSERT_EQ(book.sheets, static_cast<int>(split.rowsPerSheet.size()));
    std::vector<std::string> filters, sheets;
    std::size_t next = 0;
    for (int sheet = 1; sheet <= book.sheets; ++sheet) {
      const Rows rows = book.Sheet(sheet);
      ASSERT_EQ(rows.size(), static_cast<std::size_t>(split.rowsPerSheet[sheet - 1]) + 1);
      EXPECT_EQ(rows[0], header);
      for (std::size_t row = 1; row < rows.size(); ++row, ++next) {
        EXPECT_TRUE(rows[row] == table[next]) << "sheet " << sheet << " row " << row << ": " << rows[row][0];
      }
      const std::string& xml = book.Part("xl/worksheets/sheet" + std::to_string(sheet) + ".xml");
      EXPECT_NE(xml.find("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"),
                std::string::npos);
      const std::string last = std::to_string(rows.size());
      EXPECT_NE(xml.find("<autoFilter ref=\"A1:C" + last + "\"/></worksheet>"), std::string::npos);
      filters.push_back(std::to_string(sheet - 1) + ":'记录" + std::to_string(sheet) + "'!$A$1:$C$" + last);
      sheets.push_back("<sheet name=\"记录" + std::to_string(sheet) + "\" sheetId=\"" + std::to_string(sheet) +
                       "\" r:id=\"rId" + std::to_string(sheet) + "\"/>");
    }
    EXPECT_EQ(next, table.size());
    EXPECT_EQ(FilterNames(book.Part("xl/workbook.xml")), filters);
    for (const std::string& sheet : sheets) EXPECT_NE(book.Part("xl/workbook.xml").find(sheet), std::string::npos);
    const std::string& types = book.Part("[Content_Types].xml");
    const std::string& relationships = book.Part("xl/_rels/workbook.xml.rels");
    for (int sheet = 1; sheet <= book.sheets + 1; ++sheet) {
      const std::string part = "sheet" + std::to_string(sheet) + ".xml\"";
      EXPECT_EQ(types.find("/xl/worksheets/" + part) != std::string::npos, sheet <= book.sheets);
      EXPECT_EQ(relationships.find("Target=\"worksheets/" + part) != std::string::npos, sheet <= book.sheets);
    }
  }
}

// The parts a spreadsheet program needs are there, and what a person types
// into the sheet later is text too.
TEST(Xlsx, PartsAndTextFormat) {
  const Workbook book = Write({"a"}, {{"1"}});
  std::vector<std::string> names = book.zip.names;
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "xl/_rels/workbook.xml.rels",
                                             "xl/styles.xml", "xl/workbook.xml", "xl/worksheets/sheet1.xml"}));
  EXPECT_NE(book.Part("xl/styles.xml").find("<cellXfs count=\"1\"><xf numFmtId=\"49\""), std::string::npos);
  EXPECT_NE(book.Part("_rels/.rels").find("Target=\"xl/workbook.xml\""), std::string::npos);
}

std::vector<double> ColumnWidths(const std::string& sheet) {
  std::vector<double> widths;
  const std::regex column("<col min=\"(\\d+)\" max=\"\\1\" width=\"([0-9.]+)\"");
  for (std::sregex_iterator it(sheet.begin(), sheet.end(), column), end; it != end; ++it) {
    widths.push_back(std::stod((*it)[2].str()));
  }
  return widths;
}

// Columns are as wide as the header and the first rows need, Chinese
// counting double, within readable bounds.
TEST(Xlsx, ColumnWidths) {
  const Table table = {{"1", "短", "A fairly long English title", "中国现代文学史研究", std::string(300, 'x')}};
  const Workbook book = Write({"001", "200a", "200a", "200a", "330a"}, table);
  const std::vector<double> widths = ColumnWidths(book.Part("xl/worksheets/sheet1.xml"));
  ASSERT_EQ(widths.size(), 5u);
  EXPECT_EQ(widths[0], widths[1]) << "short columns all get the narrowest width";
  EXPECT_GE(widths[0], 6);
  EXPECT_GT(widths[2], 27);
  EXPECT_GT(widths[3], 18) << "nine Chinese characters are as wide as eighteen digits";
  EXPECT_LE(widths[4], 60);
  EXPECT_EQ(ColumnWidths(Write({"a", "b"}, Table(200, {"1", "22222222222222222222"})).Part("xl/worksheets/sheet1.xml")),
            (std::vector<double>{8, 22}));
}

// A sink that fails part way: every row after it and Finish say so, and
// nothing more is written to it. A failure in the last parts shows in Finish.
TEST(Xlsx, FailingSink) {
  const auto write = [](MemorySink& sink, bool background, int& firstFailure) {
    ZipOptions zip;
    zip.compressInBackground = background;
    XlsxWriter writer(sink, {"a", "b"}, {}, zip);
    for (int row = 1; row <= 20000; ++row) {
      writer.StartRow();
      writer.AddCell(std::to_string(row * 7919) + "中国现代文学史研究");
      writer.AddCell(std::to_string(row * 104729) + std::string(100, 'x'));
      const bool written = writer.EndRow();
      if (!written && firstFailure == 0) firstFailure = row;
      EXPECT_EQ(written, firstFailure == 0) << "row " << row;
    }
    return writer.Finish();
  };
  MemorySink whole;
  int none = 0;
  ASSERT_TRUE(write(whole, false, none));
  const std::size_t size = whole.bytes.size();
  for (const std::size_t failAt : {std::size_t{0}, std::size_t{100}, size / 3, size - 10}) {
    for (const bool background : {false, true}) {
      SCOPED_TRACE("fail at " + std::to_string(failAt) + (background ? ", background" : ", inline"));
      MemorySink sink(failAt);
      int firstFailure = 0;
      EXPECT_FALSE(write(sink, background, firstFailure));
      EXPECT_EQ(firstFailure != 0, failAt < size / 2);
      EXPECT_TRUE(sink.failed);
      EXPECT_EQ(sink.writesAfterFailure, 0);
    }
  }
}

// The same table gives the same bytes in the Linux build and in the Windows
// build under Wine: this test runs in both, and holds both to one checksum.
// (A new zlib may change it; both builds must then still agree.)
TEST(Xlsx, SameBytesInEveryBuild) {
  MemorySink sink;
  XlsxLimits limits;
  limits.rowsPerSheet = 700;
  XlsxWriter writer(sink, {"001", "200a", "题名"}, limits);
  for (int row = 1; row <= 1000; ++row) {
    writer.StartRow();
    writer.AddCell("00" + std::to_string(row * 7919));
    writer.AddCell(Times("中国现代文学史", static_cast<std::size_t>(row % 13)));
    writer.AddCell("a&b_x0041_\r\n" + std::to_string(row));
    ASSERT_TRUE(writer.EndRow());
  }
  ASSERT_TRUE(writer.Finish());
  char checksum[32];
  std::snprintf(checksum, sizeof checksum, "%zu:%08lx", sink.bytes.size(),
                crc32(0, reinterpret_cast<const Bytef*>(sink.bytes.data()), static_cast<uInt>(sink.bytes.size())));
  EXPECT_STREQ(checksum, "33611:2a88a704");
}

}  // namespace
