#pragma once
// The fixed parts of a workbook and the frame of each worksheet: the least
// that Excel, WPS and LibreOffice need to open it, a text format for every
// cell, the header row frozen and filtered. The rows themselves are the
// writer's.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xlsx_parts {

// Excel's widest sheet: columns A to XFD.
constexpr std::size_t kMostColumns = 16384;

// "A" for 0, "Z" for 25, "AA" for 26, ...
std::string ColumnName(std::size_t index);
// Sheets are numbered from 1.
std::string SheetName(int number);
std::string SheetPath(int number);

std::string ContentTypes(int sheets);
std::string PackageRelationships();
std::string WorkbookRelationships(int sheets);
// lastRows: the last row of each sheet, the header row being row 1.
std::string Workbook(const std::vector<std::int64_t>& lastRows, std::size_t columns);
// Style 0 is text; with `wrapping`, style 1 is text wrapped at its line breaks.
std::string Styles(bool wrapping);

// Everything before the header row: the frozen pane and the column widths
// (in digit widths).
std::string SheetStart(const std::vector<std::size_t>& widths, bool selected);
// Everything after the last row: the filter over the header's columns.
std::string SheetEnd(std::int64_t lastRow, std::size_t columns);

}  // namespace xlsx_parts
