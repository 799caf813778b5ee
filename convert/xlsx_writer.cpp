#include "xlsx_writer.h"

#include <algorithm>
#include <utility>

#include "cell_text.h"
#include "xlsx_parts.h"

namespace {
// Column widths come from the header and the first rows: this many, or as
// many as fit in kMeasuredBytes of XML, since they wait in memory meanwhile.
constexpr std::size_t kMeasuredRows = 100;
constexpr std::size_t kMeasuredBytes = 1 << 20;
// Column widths in digit widths: a code such as "200a" still gets a readable
// column, a long title no column wider than a screen's half.
constexpr std::size_t kNarrowest = 8;
constexpr std::size_t kWidest = 50;
constexpr std::int64_t kExcelRows = 1048576;
constexpr std::size_t kExcelLongestCell = 32767;

constexpr std::string_view kTextCell = "\" t=\"inlineStr\"><is><t>";
constexpr std::string_view kTextCellKeepingBlanks = "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">";
constexpr std::string_view kCellEnd = "</t></is></c>";
}  // namespace

XlsxWriter::XlsxWriter(ByteSink& sink, std::vector<std::string> header, XlsxLimits limits, ZipOptions zip)
    : zip_(sink, zip), limits_(limits), header_(std::move(header)) {
  limits_.rowsPerSheet = std::clamp<std::int64_t>(limits_.rowsPerSheet, 1, kExcelRows - 1);
  limits_.longestCell = std::clamp<std::size_t>(limits_.longestCell, 1, kExcelLongestCell);
  if (header_.size() > xlsx_parts::kMostColumns) header_.resize(xlsx_parts::kMostColumns);
  for (std::string& cell : header_) {
    cell.resize(CutToUtf16Units(cell, limits_.longestCell).size());
    widths_.push_back(DisplayWidth(cell, kWidest));
  }
}

void XlsxWriter::StartRow() {
  column_ = 0;
  const std::int64_t rowInSheet = (rowsInSheet_ == limits_.rowsPerSheet ? 0 : rowsInSheet_) + 2;
  rowNumber_ = std::to_string(rowInSheet);
  row_ = "<row r=\"";
  row_ += rowNumber_;
  row_ += "\">";
}

void XlsxWriter::AddCell(std::string_view utf8) {
  const std::size_t column = column_++;
  if (column >= xlsx_parts::kMostColumns || utf8.empty()) return;
  const std::string_view kept = CutToUtf16Units(utf8, limits_.longestCell);
  if (kept.size() != utf8.size()) {
    ++cutCells_;
    if (firstCutRow_ == 0) firstCutRow_ = rows_ + 1;
  }
  if (measuring_ && column < widths_.size()) widths_[column] = std::max(widths_[column], DisplayWidth(kept, kWidest));
  AppendCell(row_, column, rowNumber_, kept);
}

bool XlsxWriter::EndRow() {
  row_ += "</row>";
  if (measuring_) {
    firstRows_ += row_;
    ++rowsInSheet_;
    ++rows_;
    ++measuredRows_;
    if (measuredRows_ == std::min<std::size_t>(kMeasuredRows, limits_.rowsPerSheet) ||
        firstRows_.size() >= kMeasuredBytes) {
      EndMeasuring();
    }
    return !zip_.Failed();
  }
  if (rowsInSheet_ == limits_.rowsPerSheet) {
    EndSheet();
    ++sheets_;
    rowsInSheet_ = 0;
    StartSheet();
  }
  zip_.Write(row_);
  ++rowsInSheet_;
  ++rows_;
  return !zip_.Failed();
}

bool XlsxWriter::Finish() {
  if (finished_) return false;
  finished_ = true;
  if (measuring_) EndMeasuring();
  EndSheet();
  const auto part = [this](const std::string& name, const std::string& xml) {
    return zip_.BeginEntry(name) && zip_.Write(xml) && zip_.EndEntry();
  };
  return part("xl/workbook.xml", xlsx_parts::Workbook(lastRows_, header_.size())) &&
         part("xl/_rels/workbook.xml.rels", xlsx_parts::WorkbookRelationships(sheets_)) &&
         part("xl/styles.xml", xlsx_parts::Styles()) &&
         part("[Content_Types].xml", xlsx_parts::ContentTypes(sheets_)) &&
         part("_rels/.rels", xlsx_parts::PackageRelationships()) && zip_.Finish();
}

void XlsxWriter::AppendCell(std::string& xml, std::size_t column, std::string_view rowNumber, std::string_view value) {
  xml += CellStart(column);
  xml += rowNumber;
  xml += HasBlankEnds(value) ? kTextCellKeepingBlanks : kTextCell;
  AppendCellXml(xml, value);
  xml += kCellEnd;
}

const std::string& XlsxWriter::CellStart(std::size_t column) {
  while (cellStarts_.size() <= column) cellStarts_.push_back("<c r=\"" + xlsx_parts::ColumnName(cellStarts_.size()));
  return cellStarts_[column];
}

void XlsxWriter::StartSheet() {
  std::string start = xlsx_parts::SheetStart(widths_, sheets_ == 1);
  start += "<row r=\"1\">";
  for (std::size_t column = 0; column < header_.size(); ++column) {
    if (!header_[column].empty()) AppendCell(start, column, "1", header_[column]);
  }
  start += "</row>";
  zip_.BeginEntry(xlsx_parts::SheetPath(sheets_));
  zip_.Write(start);
}

void XlsxWriter::EndSheet() {
  const std::int64_t lastRow = rowsInSheet_ + 1;
  zip_.Write(xlsx_parts::SheetEnd(lastRow, header_.size()));
  zip_.EndEntry();
  lastRows_.push_back(lastRow);
}

// The widths are known: the first sheet begins, with the rows held back.
void XlsxWriter::EndMeasuring() {
  measuring_ = false;
  for (std::size_t& width : widths_) width = std::clamp(width + 2, kNarrowest, kWidest);
  StartSheet();
  zip_.Write(firstRows_);
  std::string().swap(firstRows_);
}
