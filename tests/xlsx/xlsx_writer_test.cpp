// The workbook as a spreadsheet program reads it: every value comes back as
// the text it was (cut where Excel's limit says), rows continue on further
// sheets under their own header row, and a failing sink is reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

#include <zlib.h>

#include "hard_values.h"
#include "memory_sink.h"
#include "xlsx/xlsx_writer.h"
#include "xlsx_reader.h"

namespace {

struct Workbook {
  std::string bytes;
  ZipContents zip;
  std::int64_t rows = 0, cutCells = 0, firstCutRow = 0;
  int sheets = 0;
  std::int64_t deletedControls = 0, firstDeletedControlRow = 0;

  const std::string& Sheet(int number) const {
    return zip.Entry("xl/worksheets/sheet" + std::to_string(number) + ".xml");
  }
};

Workbook Write(const std::vector<std::string>& header, const Rows& rows, XlsxLimits limits = {}) {
  MemorySink sink;
  XlsxWriter writer(sink, header, limits);
  for (const auto& row : rows) {
    writer.StartRow();
    for (const std::string& cell : row) writer.AddCell(cell);
    EXPECT_TRUE(writer.EndRow());
  }
  EXPECT_TRUE(writer.Finish());
  return {sink.bytes,
          ReadZip(sink.bytes),
          writer.Rows(),
          writer.CutCells(),
          writer.FirstCutRow(),
          writer.Sheets(),
          writer.DeletedControls(),
          writer.FirstDeletedControlRow()};
}

std::vector<std::string> ColumnWidthsOf(const std::string& sheet) {
  std::vector<std::string> widths;
  const std::regex column("<col min=\"(\\d+)\" max=\"\\1\" width=\"(\\d+)\"");
  for (std::sregex_iterator it(sheet.begin(), sheet.end(), column), end; it != end; ++it)
    widths.push_back((*it)[2].str());
  return widths;
}

// Every value, and what a person types into the sheet later is text too;
// a cell with a line break wraps its text there (the reader checks its
// style). Empty cells stay empty in their place; more cells than the header
// are simply written.
TEST(Xlsx, EveryValueReadsBackAsText) {
  Rows table;
  std::int64_t cut = 0, firstCut = 0, leftOut = 0, firstLeftOut = 0;
  for (const HardValue& value : kHardValues) {
    table.push_back({value.what, value.given});
    if (!value.cut.empty() && cut++ == 0) firstCut = static_cast<std::int64_t>(table.size());
    if (value.leftOut > 0 && leftOut == 0) firstLeftOut = static_cast<std::int64_t>(table.size());
    leftOut += value.leftOut;
  }
  const Workbook book = Write({"what", "value"}, table);
  const Rows rows = ReadSheet(book.Sheet(1));
  ASSERT_EQ(rows.size(), table.size() + 1);
  for (std::size_t i = 0; i < kHardValues.size(); ++i) {
    const HardValue& value = kHardValues[i];
    std::vector<std::string> expected = {value.what};
    if (!value.given.empty()) expected.push_back(value.Expected());
    EXPECT_TRUE(rows[i + 1] == expected) << value.what << ": " << rows[i + 1].back().substr(0, 80);
  }
  EXPECT_EQ(book.cutCells, cut);
  EXPECT_EQ(book.firstCutRow, firstCut);
  EXPECT_EQ(book.deletedControls, leftOut);
  EXPECT_EQ(book.firstDeletedControlRow, firstLeftOut);
  const std::vector<std::string> formats = CellFormats(book.zip.Entry("xl/styles.xml"));
  ASSERT_EQ(formats.size(), 2u);
  for (const std::string& format : formats) EXPECT_NE(format.find("numFmtId=\"49\""), std::string::npos) << format;
  EXPECT_NE(formats[1].find("wrapText=\"1\""), std::string::npos) << formats[1];
  const Workbook withoutLineBreaks = Write({"a", "", "c"}, {{"1", "", "3"}, {"", "", "", "4"}, {}, {"x"}});
  EXPECT_EQ(ReadSheet(withoutLineBreaks.Sheet(1)),
            (Rows{{"a", "", "c"}, {"1", "", "3"}, {"", "", "", "4"}, {}, {"x"}}));
  EXPECT_EQ(CellFormats(withoutLineBreaks.zip.Entry("xl/styles.xml")).size(), 1u);

  // A value's pieces make one cell: a CR ending one and an LF starting the
  // next are one line break.
  MemorySink sink;
  XlsxWriter pieces(sink, {"joined"});
  pieces.StartRow();
  for (const char* piece : {"a\r", "", "\nb", "\t", "c"}) pieces.AddText(piece);
  pieces.EndCell();
  pieces.EndRow();
  ASSERT_TRUE(pieces.Finish());
  EXPECT_EQ(ReadSheet(ReadZip(sink.bytes).Entry("xl/worksheets/sheet1.xml")), (Rows{{"joined"}, {"a\nbc"}}));
  EXPECT_EQ(pieces.DeletedControls(), 1);

  // An underscore is escaped only where a reader would decode what follows
  // it, so that readers that decode nothing show every other one as it is.
  const struct {
    const char* value;
    bool asItIs;
  } kUnderscores[] = {
      {"my_xml_file", true}, {"_x41_", true},    {"_X0041_", true}, {"_xg_", true},   {"_x00004_", true},
      {"_x0041_", false},    {"_x00e9_", false}, {"_x4_", false},   {"_x5F_", false}, {"_x01f_", false},
  };
  Rows underscores;
  for (const auto& underscore : kUnderscores) underscores.push_back({underscore.value});
  const std::string sheet = Write({"v"}, underscores).Sheet(1);
  for (const auto& underscore : kUnderscores) {
    EXPECT_EQ(sheet.find(std::string(">") + underscore.value + "<") != std::string::npos, underscore.asItIs)
        << underscore.value;
  }

  // Columns past Z are named as a spreadsheet names them, up to AAA, and
  // the filter covers them all, or the one column there is.
  std::vector<std::string> wide(703);
  for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = std::to_string(i);
  const Workbook wideBook = Write(wide, {wide});
  EXPECT_EQ(ReadSheet(wideBook.Sheet(1)), (Rows{wide, wide}));
  EXPECT_NE(wideBook.zip.Entry("xl/workbook.xml").find("'!$A$1:$AAA$2<"), std::string::npos);
  EXPECT_NE(Write({"only"}, {{"1"}}).zip.Entry("xl/workbook.xml").find("'!$A$1:$A$2<"), std::string::npos);
}

// Rows past a sheet's share continue on the next sheet, each under the
// header row again, frozen and filtered; no sheet is left empty. (Which
// sheets the workbook names, LibreOffice's reading tells.)
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
    Rows table;
    for (int i = 1; i <= split.rows; ++i) {
      table.push_back({std::to_string(i), std::string(split.cellSize, 'v'), "题名" + std::to_string(i)});
    }
    XlsxLimits limits;
    limits.rowsPerSheet = split.perSheet;
    const std::vector<std::string> header = {"001", "200a", "题名 "};
    const Workbook book = Write(header, table, limits);
    EXPECT_EQ(book.rows, split.rows);
    ASSERT_EQ(book.sheets, static_cast<int>(split.rowsPerSheet.size()));
    Rows expected;
    std::string filters;  // each sheet's filter range, hidden in the workbook
    for (int sheet = 1; sheet <= book.sheets; ++sheet) {
      const std::string last = std::to_string(split.rowsPerSheet[sheet - 1] + 1);
      Rows rows = ReadSheet(book.Sheet(sheet));
      EXPECT_EQ(rows.at(0), header);
      expected.insert(expected.end(), rows.begin() + 1, rows.end());
      EXPECT_EQ(rows.size(), split.rowsPerSheet[sheet - 1] + 1u);
      EXPECT_NE(
          book.Sheet(sheet).find("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"),
          std::string::npos);
      EXPECT_NE(book.Sheet(sheet).find("<autoFilter ref=\"A1:C" + last + "\"/></worksheet>"), std::string::npos);
      filters += "<definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"" + std::to_string(sheet - 1) +
                 "\" hidden=\"1\">'记录" + std::to_string(sheet) + "'!$A$1:$C$" + last + "</definedName>";
    }
    EXPECT_TRUE(expected == table) << "the rows of all sheets, in order";
    EXPECT_NE(book.zip.Entry("xl/workbook.xml").find("<definedNames>" + filters + "</definedNames>"),
              std::string::npos);
  }
}

// However many records a sheet is asked to hold, it holds no more than
// Excel's 1,048,576 rows with its header.
TEST(Xlsx, NoSheetPastExcelsLastRow) {
  MemorySink sink;
  XlsxLimits asked;
  asked.rowsPerSheet = 2000000;
  XlsxWriter writer(sink, {"a"}, asked);
  for (int i = 0; i < 1048576; ++i) {
    writer.StartRow();
    ASSERT_TRUE(writer.EndRow());
  }
  EXPECT_TRUE(writer.Finish());
  EXPECT_EQ(writer.Sheets(), 2);
}

// Columns are as wide as the header and the first rows need (up to a line
// break), Chinese and characters beyond the BMP counting double, within
// readable bounds.
TEST(Xlsx, ColumnWidths) {
  const Workbook book = Write({"001", "200a", "200a", "200a", "330a", "200a", "200a"},
                              {{"1", "短", "A fairly long English title", "中国现代文学史研究", std::string(300, 'x'),
                                Times(kEmoji, 9), "ab\nmore than the first line"}});
  EXPECT_EQ(ColumnWidthsOf(book.Sheet(1)), (std::vector<std::string>{"8", "8", "29", "20", "50", "20", "8"}));

  // A first row wider than the XML held back for measuring: the widths are
  // those of the cells before it was reached, and the rows read back whole.
  const std::vector<std::string> header(60, "200a");
  const Rows wide = {std::vector<std::string>(60, std::string(30000, 'w')), {"after"}};
  const Workbook wideBook = Write(header, wide);
  EXPECT_EQ(ReadSheet(wideBook.Sheet(1)), (Rows{header, wide[0], wide[1]}));
  const std::vector<std::string> widths = ColumnWidthsOf(wideBook.Sheet(1));
  ASSERT_EQ(widths.size(), header.size());
  const std::vector<std::string> narrowAndWide = ColumnWidthsOf(book.Sheet(1));
  EXPECT_EQ(widths.front(), narrowAndWide[4]) << "as wide as the column of 300 x above";
  EXPECT_EQ(widths.back(), narrowAndWide[1]) << "as narrow as the column of \"200a\" and a character above";
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
  Rows table;
  for (int row = 1; row <= 1000; ++row) {
    table.push_back({"00" + std::to_string(row * 7919), Times("中国现代文学史", static_cast<std::size_t>(row % 13)),
                     "a&b_x0041_\r\n" + std::to_string(row)});
  }
  XlsxLimits limits;
  limits.rowsPerSheet = 700;
  const std::string bytes = Write({"001", "200a", "题名"}, table, limits).bytes;
  char checksum[32];
  std::snprintf(checksum, sizeof checksum, "%zu:%08lx", bytes.size(),
                crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
  EXPECT_STREQ(checksum, "32586:667f5f92");
}

}  // namespace
