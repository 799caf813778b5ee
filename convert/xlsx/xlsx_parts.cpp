#include "xlsx/xlsx_parts.h"

namespace xlsx_parts {

namespace {
constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
constexpr const char* kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelationshipTypes = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kSheetContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

// "A1:O1": the header's columns down to the last row; "" without columns.
std::string FilterRange(std::int64_t lastRow, std::size_t columns, bool absolute) {
  if (columns == 0) return "";
  const std::string dollar = absolute ? "$" : "";
  return dollar + "A" + dollar + "1:" + dollar + ColumnName(columns - 1) + dollar + std::to_string(lastRow);
}
}  // namespace

std::string ColumnName(std::size_t index) {
  std::string name;
  for (std::size_t n = index + 1; n > 0; n = (n - 1) / 26) {
    name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return name;
}

// "Records 1", "Records 2", ... in Chinese, the same in every language, so that files compare equal.
std::string SheetName(int number) { return "\xE8\xAE\xB0\xE5\xBD\x95" + std::to_string(number); }

std::string SheetPath(int number) { return "xl/worksheets/sheet" + std::to_string(number) + ".xml"; }

std::string ContentTypes(int sheets) {
  std::string xml = kXmlDeclaration;
  xml +=
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/xl/workbook.xml\" "
      "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
      "<Override PartName=\"/xl/styles.xml\" "
      "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>";
  for (int sheet = 1; sheet <= sheets; ++sheet) {
    xml += "<Override PartName=\"/" + SheetPath(sheet) + "\" ContentType=\"" + kSheetContentType + "\"/>";
  }
  return xml + "</Types>";
}

std::string PackageRelationships() {
  return std::string(kXmlDeclaration) +
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
         kRelationshipTypes +
         "/officeDocument\" Target=\"xl/workbook.xml\"/>"
         "</Relationships>";
}

// rId1 to rIdN are the sheets, in order; the styles come after them.
std::string WorkbookRelationships(int sheets) {
  std::string xml = kXmlDeclaration;
  xml += "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (int sheet = 1; sheet <= sheets; ++sheet) {
    xml += "<Relationship Id=\"rId" + std::to_string(sheet) + "\" Type=\"" + kRelationshipTypes +
           "/worksheet\" Target=\"worksheets/sheet" + std::to_string(sheet) + ".xml\"/>";
  }
  xml += "<Relationship Id=\"rId" + std::to_string(sheets + 1) + "\" Type=\"" + kRelationshipTypes +
         "/styles\" Target=\"styles.xml\"/>";
  return xml + "</Relationships>";
}

// Excel keeps a sheet's filter range in this hidden name, and shows no filter
// buttons without it.
std::string Workbook(const std::vector<std::int64_t>& lastRows, std::size_t columns) {
  std::string xml = kXmlDeclaration;
  xml += std::string("<workbook xmlns=\"") + kMainNamespace + "\" xmlns:r=\"" + kRelationshipTypes + "\">" +
         "<bookViews><workbookView/></bookViews><sheets>";
  const int sheets = static_cast<int>(lastRows.size());
  for (int sheet = 1; sheet <= sheets; ++sheet) {
    const std::string number = std::to_string(sheet);
    xml.append("<sheet name=\"").append(SheetName(sheet)).append("\" sheetId=\"").append(number);
    xml.append("\" r:id=\"rId").append(number).append("\"/>");
  }
  xml += "</sheets>";
  if (columns > 0) {
    xml += "<definedNames>";
    for (int sheet = 1; sheet <= sheets; ++sheet) {
      xml += "<definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"" + std::to_string(sheet - 1) +
             "\" hidden=\"1\">'" + SheetName(sheet) + "'!" + FilterRange(lastRows[sheet - 1], columns, true) +
             "</definedName>";
    }
    xml += "</definedNames>";
  }
  return xml + "</workbook>";
}

// One cell format, the default, and it is Text (number format 49): what is
// typed into the sheet later stays text too, as the values do. A workbook
// with a line break in a cell has a second, the same with its text wrapped:
// without it a spreadsheet shows such a cell as one line drawn over the row
// above.
std::string Styles(bool wrapping) {
  constexpr const char* kTextFormat =
      "<xf numFmtId=\"49\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"";
  std::string xml =
      std::string(kXmlDeclaration) + "<styleSheet xmlns=\"" + kMainNamespace + "\">" +
      "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
      "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
      "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
      "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
      "<cellStyleXfs count=\"1\"><xf numFmtId=\"49\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>";
  xml += wrapping ? "<cellXfs count=\"2\">" : "<cellXfs count=\"1\">";
  xml.append(kTextFormat).append("/>");
  if (wrapping) xml.append(kTextFormat).append(" applyAlignment=\"1\"><alignment wrapText=\"1\"/></xf>");
  return xml +
         "</cellXfs>"
         "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
         "</styleSheet>";
}

std::string SheetStart(const std::vector<std::size_t>& widths, bool selected) {
  std::string xml = kXmlDeclaration;
  xml += std::string("<worksheet xmlns=\"") + kMainNamespace + "\"><sheetViews><sheetView" +
         (selected ? " tabSelected=\"1\"" : "") +
         " workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"
         "<selection pane=\"bottomLeft\" activeCell=\"A2\" sqref=\"A2\"/></sheetView></sheetViews>"
         "<sheetFormatPr defaultRowHeight=\"15\"/>";
  if (!widths.empty()) {
    xml += "<cols>";
    for (std::size_t column = 0; column < widths.size(); ++column) {
      const std::string number = std::to_string(column + 1);
      xml.append("<col min=\"").append(number).append("\" max=\"").append(number).append("\" width=\"");
      xml.append(std::to_string(widths[column])).append("\" customWidth=\"1\"/>");
    }
    xml += "</cols>";
  }
  return xml + "<sheetData>";
}

std::string SheetEnd(std::int64_t lastRow, std::size_t columns) {
  std::string xml = "</sheetData>";
  if (columns > 0) xml += "<autoFilter ref=\"" + FilterRange(lastRow, columns, false) + "\"/>";
  return xml + "</worksheet>";
}

}  // namespace xlsx_parts
