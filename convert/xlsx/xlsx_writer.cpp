#include "xlsx/xlsx_writer.h"

#include <algorithm>
#include <utility>

#include "text/display_width.h"
#include "xlsx/cell_text.h"
#include "xlsx/xlsx_parts.h"

namespace {
// Column widths come from the header and the first rows: this many, or as
// many as fit in kMeasuredBytes of XML, since that waits in memory meanwhile.
// A row wider than that ends the measuring within it: the widths are then
// those of the cells seen so far.
constexpr std::size_t kMeasuredRows = 100;
constexpr std::size_t kMeasuredBytes = 1 << 20;
// XML is handed to the ZIP writer in pieces of about this size, each cell as
// made when cells are larger.
constexpr std::size_t kPassedBytes = 64 * 1024;
// Column widths in digit widths: a code such as "200a" still gets a readable
// column, a long title no column wider than a screen's half.
constexpr std::size_t kNarrowest = 8;
constexpr std::size_t kWidest = 50;
constexpr std::int64_t kExcelRows = 1048576;
constexpr std::size_t kExcelLongestCell = 32767;  // in UTF-16 code units, as Excel counts

// Every cell carries its reference ("B12"), though readers may count cells
// on without one: Gnumeric reads no cell that lacks it. Empty cells are left
// out.
constexpr std::string_view kWrappedStyle = " s=\"1\"";  // style 1 of xlsx_parts::Styles
constexpr std::string_view kTextCell = " t=\"inlineStr\"><is><t>";
constexpr std::string_view kTextCellKeepingBlanks = " t=\"inlineStr\"><is><t xml:space=\"preserve\">";
constexpr std::string_view kCellEnd = "</t></is></c>";

// The width a cell's first line needs, in digit widths. Spreadsheets show
// digits and capitals wider than the average character, more so where the
// default font is replaced by a wider one, so that a width of one unit a
// character cut "CNY35.0" and 12-digit identifiers: each ASCII digit or
// capital counts a quarter more, and every column has three units for its
// margins (see EndMeasuring).
std::size_t WidthNeeded(std::string_view cell) {
  const std::string_view line = cell.substr(0, std::min(cell.find('\n'), kWidest));
  const auto wide = static_cast<std::size_t>(
      std::count_if(line.begin(), line.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }));
  return DisplayWidth(cell, kWidest) + (wide + 3) / 4;
}
constexpr std::size_t kMargins = 3;
}  // namespace

// Header cells are the list's items: a control character in one is left out
// as in any cell, but it is no record's, and not counted.
XlsxWriter::XlsxWriter(ByteSink& sink, std::vector<std::string> header, XlsxLimits limits, ZipOptions zip)
    : zip_(sink, zip), limits_(limits), header_(std::move(header)) {
  limits_.rowsPerSheet = std::clamp<std::int64_t>(limits_.rowsPerSheet, 1, kExcelRows - 1);
  if (header_.size() > xlsx_parts::kMostColumns) header_.resize(xlsx_parts::kMostColumns);
  for (std::string& cell : header_) {
    cell_.Clear();
    cell_.Append(cell);
    cell.assign(CutToUtf16Units(cell_.Text(), kExcelLongestCell));
    wrapping_ = wrapping_ || cell.find('\n') != std::string::npos;
    widths_.push_back(WidthNeeded(cell));
  }
  cell_.Clear();
}

void XlsxWriter::StartRow() {
  column_ = 0;
  cutInRow_.clear();
  // Measuring ends by the time a sheet is full.
  if (rowsInSheet_ == limits_.rowsPerSheet) NextSheet();
  rowNumber_ = std::to_string(rowsInSheet_ + 2);
  xml_ += "<row r=\"";
  xml_ += rowNumber_;
  xml_ += "\">";
}

void XlsxWriter::AddText(std::string_view utf8) {
  if (column_ < xlsx_parts::kMostColumns) cell_.Append(utf8);
}

void XlsxWriter::EndCell() {
  const std::size_t column = column_++;
  if (column >= xlsx_parts::kMostColumns) return;
  if (cell_.LeftOut() > 0) {
    if (deletedControls_ == 0) firstDeletedControlRow_ = rows_ + 1;
    deletedControls_ += static_cast<std::int64_t>(cell_.LeftOut());
  }
  const std::string& text = cell_.Text();
  if (!text.empty()) {
    const std::string_view kept = CutToUtf16Units(text, kExcelLongestCell);
    if (kept.size() != text.size()) {
      ++cutCells_;
      if (firstCutRow_ == 0) firstCutRow_ = rows_ + 1;
      cutInRow_.push_back(static_cast<std::uint32_t>(column));
    }
    if (measuring_ && column < widths_.size()) widths_[column] = std::max(widths_[column], WidthNeeded(kept));
    const bool wrapped =
        cell_.HasLineBreak() && (kept.size() == text.size() || kept.find('\n') != std::string_view::npos);
    wrapping_ = wrapping_ || wrapped;
    AppendCell(xml_, column, rowNumber_, kept, wrapped);
    PassOn();
  }
  cell_.Clear();
}

bool XlsxWriter::EndRow() {
  xml_ += "</row>";
  ++rowsInSheet_;
  ++rows_;
  if (measuring_ && rows_ == std::min<std::int64_t>(kMeasuredRows, limits_.rowsPerSheet)) EndMeasuring();
  PassOn();
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
         part("xl/styles.xml", xlsx_parts::Styles(wrapping_)) &&
         part("[Content_Types].xml", xlsx_parts::ContentTypes(sheets_)) &&
         part("_rels/.rels", xlsx_parts::PackageRelationships()) && zip_.Finish();
}

// Without a row number the cell needs no reference.
void XlsxWriter::AppendCell(std::string& xml, std::size_t column, std::string_view rowNumber, std::string_view value,
                            bool wrapped) {
  xml += CellStart(column);
  xml += rowNumber;
  xml += '"';
  if (wrapped) xml += kWrappedStyle;
  xml += HasBlankEnds(value) ? kTextCellKeepingBlanks : kTextCell;
  AppendCellXml(xml, value);
  xml += kCellEnd;
}

const std::string& XlsxWriter::CellStart(std::size_t column) {
  while (cellStarts_.size() <= column) cellStarts_.push_back("<c r=\"" + xlsx_parts::ColumnName(cellStarts_.size()));
  return cellStarts_[column];
}

// Hands the XML made so far to the ZIP writer once there is enough of it.
// While the widths are measured it is held back, up to its bound, which a
// single wide row may reach.
void XlsxWriter::PassOn() {
  if (measuring_) {
    if (xml_.size() >= kMeasuredBytes) EndMeasuring();
    return;
  }
  if (xml_.size() < kPassedBytes) return;
  zip_.Write(xml_);
  xml_.clear();
}

void XlsxWriter::StartSheet() {
  std::string start = xlsx_parts::SheetStart(widths_, sheets_ == 1);
  start += "<row r=\"1\">";
  for (std::size_t column = 0; column < header_.size(); ++column) {
    const std::string& cell = header_[column];
    if (!cell.empty()) AppendCell(start, column, "1", cell, cell.find('\n') != std::string::npos);
  }
  start += "</row>";
  zip_.BeginEntry(xlsx_parts::SheetPath(sheets_));
  zip_.Write(start);
}

// Whatever XML is left ends the sheet.
void XlsxWriter::EndSheet() {
  zip_.Write(xml_);
  xml_.clear();
  const std::int64_t lastRow = rowsInSheet_ + 1;
  zip_.Write(xlsx_parts::SheetEnd(lastRow, header_.size()));
  zip_.EndEntry();
  lastRows_.push_back(lastRow);
}

void XlsxWriter::NextSheet() {
  EndSheet();
  ++sheets_;
  rowsInSheet_ = 0;
  StartSheet();
}

// The widths are known: the first sheet begins, with the rows held back.
void XlsxWriter::EndMeasuring() {
  measuring_ = false;
  for (std::size_t& width : widths_) width = std::clamp(width + kMargins, kNarrowest, kWidest);
  StartSheet();
  zip_.Write(xml_);
  xml_.clear();
}
