// The workbook as a spreadsheet program reads it: every value comes back as
// the text it was (cut where Excel's limit says), rows continue on further
// sheets under their own header row, and a failing sink is reported.
#include <gtest/gtest.h>

#include <iterator>

#include "hard_values.h"
#include "memory_sink.h"
#include "xlsx/xlsx_writer.h"
#include "xlsx_reader.h"

namespace {

struct Workbook {
  ZipContents zip;
  int sheets = 0;

  const std::string& Sheet(int number) const {
    return zip.Entry("xl/worksheets/sheet" + std::to_string(number) + ".xml");
  }
  // Each sheet's filter range, in a name the workbook hides.
  std::vector<Element> Filters() const { return Elements(zip.Entry("xl/workbook.xml"), "definedName"); }
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
  return {ReadZip(sink.bytes), writer.Sheets()};
}

std::vector<int> ColumnWidths(const std::string& sheet) {
  std::vector<int> widths;
  for (const Element& column : Elements(sheet, "col")) widths.push_back(std::stoi(column.at("width")));
  return widths;
}

// Every value, and what a person types into the sheet later is text too;
// a cell with a line break wraps its text there (the reader checks its
// style). Empty cells stay empty in their place; more cells than the header
// are simply written. (What was cut or left out, the LibreOffice test counts
// through a conversion.)
TEST(Xlsx, EveryValueReadsBackAsText) {
  Rows table;
  for (const HardValue& value : kHardValues) table.push_back({value.what, value.given});
  const Workbook book = Write({"what", "value"}, table);
  const Rows rows = ReadSheet(book.Sheet(1));
  ASSERT_EQ(rows.size(), table.size() + 1);
  for (std::size_t i = 0; i < kHardValues.size(); ++i) {
    const HardValue& value = kHardValues[i];
    std::vector<std::string> expected = {value.what};
    if (!value.given.empty()) expected.push_back(value.Expected());
    EXPECT_TRUE(rows[i + 1] == expected) << value.what << ": " << rows[i + 1].back().substr(0, 80);
  }
  // Every cell format is Text; style 1, which cells with a line break have, wraps.
  const std::vector<Element> formats =
      Elements(Elements(book.zip.Entry("xl/styles.xml"), "cellXfs").at(0).at(""), "xf");
  ASSERT_EQ(formats.size(), 2u);
  for (const Element& format : formats) EXPECT_EQ(format.at("numFmtId"), "49");
  EXPECT_EQ(Elements(formats[1].at(""), "alignment").at(0).at("wrapText"), "1");
  const Workbook withoutLineBreaks = Write({"a", "", "c"}, {{"1", "", "3"}, {"", "", "", "4"}, {}, {"x"}});
  EXPECT_EQ(ReadSheet(withoutLineBreaks.Sheet(1)),
            (Rows{{"a", "", "c"}, {"1", "", "3"}, {"", "", "", "4"}, {}, {"x"}}));
  EXPECT_TRUE(Elements(withoutLineBreaks.zip.Entry("xl/styles.xml"), "alignment").empty());

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
  const std::vector<Element> texts = Elements(Write({"v"}, underscores).Sheet(1), "t");
  for (std::size_t i = 0; i < std::size(kUnderscores); ++i) {
    EXPECT_EQ(texts.at(i + 1).at("") == kUnderscores[i].value, kUnderscores[i].asItIs) << kUnderscores[i].value;
  }

  // Columns past Z are named as a spreadsheet names them, up to AAA, and
  // the filter covers them all, or the one column there is.
  std::vector<std::string> wide(703);
  for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = std::to_string(i);
  const Workbook wideBook = Write(wide, {wide});
  EXPECT_EQ(ReadSheet(wideBook.Sheet(1)), (Rows{wide, wide}));
  EXPECT_EQ(wideBook.Filters().at(0).at(""), "'记录1'!$A$1:$AAA$2");
  EXPECT_EQ(Write({"only"}, {{"1"}}).Filters().at(0).at(""), "'记录1'!$A$1:$A$2");
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
    ASSERT_EQ(book.sheets, static_cast<int>(split.rowsPerSheet.size()));
    ASSERT_EQ(book.Filters().size(), split.rowsPerSheet.size());
    Rows expected;
    for (int sheet = 1; sheet <= book.sheets; ++sheet) {
      const std::string last = std::to_string(split.rowsPerSheet[sheet - 1] + 1);
      Rows rows = ReadSheet(book.Sheet(sheet));
      EXPECT_EQ(rows.at(0), header);
      expected.insert(expected.end(), rows.begin() + 1, rows.end());
      EXPECT_EQ(rows.size(), split.rowsPerSheet[sheet - 1] + 1u);
      const Element pane = Elements(book.Sheet(sheet), "pane").at(0);
      EXPECT_TRUE(pane.at("ySplit") == "1" && pane.at("state") == "frozen");
      EXPECT_EQ(Elements(book.Sheet(sheet), "autoFilter").at(0).at("ref"), "A1:C" + last);
      const Element filter = book.Filters()[static_cast<std::size_t>(sheet - 1)];
      EXPECT_EQ(filter.at("localSheetId"), std::to_string(sheet - 1));
      EXPECT_EQ(filter.at(""), "'记录" + std::to_string(sheet) + "'!$A$1:$C$" + last);
    }
    EXPECT_TRUE(expected == table) << "the rows of all sheets, in order";
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
  const std::string x18(18, 'x');
  // Full-width forms ("，", U+FF0C, to "￦", U+FFE6), Hangul from its first
  // syllable ("가", U+AC00) and the ideographs beyond the BMP from the first
  // (U+20000) are as wide as Chinese characters; a letter of two bytes ("λ")
  // as one of one.
  const Workbook book =
      Write({"001", "200a", "200a", "200a", "200a", x18, "200a", "200a", "200a", "200a", "200a", "330a", "330a"},
            {{"1", "短", "ab\n" + x18, x18, "中国现代文学史研究", "1", Times(kEmoji, 9),
              Times("\xEF\xBC\x8C", 4) + Times("\xEF\xBF\xA6", 5), Times("\xEA\xB0\x80", 9),
              Times("\xF0\xA0\x80\x80", 9), Times("\xCE\xBBx", 9), std::string(300, 'x'), std::string(600, 'x')}});
  const std::vector<int> widths = ColumnWidths(book.Sheet(1));
  const int narrow = widths.at(0), middle = widths.at(3), widest = widths.at(11);
  EXPECT_EQ(widths, (std::vector<int>{narrow, narrow, narrow, middle, middle, middle, middle, middle, middle, middle,
                                      middle, widest, widest}));
  EXPECT_TRUE(narrow < middle && middle < widest);
  // Digits and capitals show wider than small letters: twelve of them got
  // a column too narrow in a spreadsheet that replaces the default font.
  const Workbook identifiers = Write({"001a", "010d", "200a", "001a"},
                                     {{"123456789012", "CNY35.0", "abcdefghijkl", "A234567890123"}, {"", "CNY251.00"}});
  EXPECT_EQ(ColumnWidths(identifiers.Sheet(1)), (std::vector<int>{18, 14, 15, 20}));

  // A first row wider than the XML held back for measuring: the widths are
  // those of the cells before it was reached, and the rows read back whole.
  const std::vector<std::string> header(60, "200a");
  const Rows wide = {std::vector<std::string>(60, std::string(30000, 'w')), {"after"}};
  const Workbook wideBook = Write(header, wide);
  EXPECT_EQ(ReadSheet(wideBook.Sheet(1)), (Rows{header, wide[0], wide[1]}));
  const std::vector<int> measured = ColumnWidths(wideBook.Sheet(1));
  ASSERT_EQ(measured.size(), header.size());
  EXPECT_EQ(measured.front(), widest);
  EXPECT_EQ(measured.back(), narrow);
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

}  // namespace
