#pragma once
// Writes the table as an Excel workbook, cell by cell, in flat memory: the
// cells' XML goes on to the compressor in pieces of a few kilobytes as it is
// made, so that a row of any width is never held whole. Every value is an inline text cell: a
// spreadsheet opening it turns nothing into a number, a date or a formula, so
// record numbers keep their leading zeros and 20-digit identifiers all their
// digits. Each sheet starts with the header row, frozen and filtered; more
// rows than a sheet holds continue on the next sheet.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xlsx/cell_text.h"
#include "xlsx/zip_writer.h"

struct XlsxLimits {
  std::int64_t rowsPerSheet = 1048575;  // records per sheet; row 1 of every sheet is the header
};

class XlsxWriter {
 public:
  // The header cells are UTF-8, as typed. Limits beyond Excel's are brought
  // within them.
  XlsxWriter(ByteSink& sink, std::vector<std::string> header, XlsxLimits limits = {}, ZipOptions zip = {});

  void StartRow();
  // Adds to the cell being made: its value, or a piece of it (the
  // occurrences of a joined code and their separators). Valid UTF-8, as the
  // caller sees to.
  void AddText(std::string_view utf8);
  // Cells past Excel's last column (XFD) are left out.
  void EndCell();
  void AddCell(std::string_view utf8) {
    AddText(utf8);
    EndCell();
  }
  // False once the sink has failed.
  bool EndRow();
  // Writes the parts that name the sheets and the ZIP directory; false when
  // anything could not be written.
  bool Finish();

  int Sheets() const { return sheets_; }
  // Values longer than Excel's longest cell, cut to it.
  std::int64_t CutCells() const { return cutCells_; }
  // The 1-based data row (the record's number) of the first value cut, 0 if none.
  std::int64_t FirstCutRow() const { return firstCutRow_; }
  // The columns of the row last made whose values were cut.
  const std::vector<std::uint32_t>& CutColumnsOfRow() const { return cutInRow_; }
  // Control characters (and U+FFFE, U+FFFF) left out of the cells, and the
  // data row of the first, 0 if none.
  std::int64_t DeletedControls() const { return deletedControls_; }
  std::int64_t FirstDeletedControlRow() const { return firstDeletedControlRow_; }

 private:
  void AppendCell(std::string& xml, std::size_t column, std::string_view rowNumber, std::string_view value,
                  bool wrapped);
  const std::string& CellStart(std::size_t column);
  void PassOn();
  void StartSheet();
  void EndSheet();
  void NextSheet();
  void EndMeasuring();

  ZipWriter zip_;
  XlsxLimits limits_;
  std::vector<std::string> header_;
  std::vector<std::string> cellStarts_;  // "<c r=\"B" for each column
  std::vector<std::size_t> widths_;      // of the header and the first rows, in digit widths
  std::string rowNumber_;                // of the row being made, within its sheet
  CellText cell_;                        // of the cell being made
  // XML made and not yet given to the ZIP writer: a few kilobytes, or while
  // the column widths are measured, everything after the header row.
  std::string xml_;
  bool measuring_ = true;
  bool wrapping_ = false;   // some cell has a line break
  std::size_t column_ = 0;  // of the cell being made
  std::int64_t rows_ = 0;
  std::int64_t rowsInSheet_ = 0;
  int sheets_ = 1;
  std::vector<std::int64_t> lastRows_;  // of the sheets ended
  std::int64_t cutCells_ = 0;
  std::int64_t firstCutRow_ = 0;
  std::vector<std::uint32_t> cutInRow_;
  std::int64_t deletedControls_ = 0;
  std::int64_t firstDeletedControlRow_ = 0;
  bool finished_ = false;
};
