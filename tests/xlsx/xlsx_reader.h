#pragma once
// Reads back what the ZIP and XLSX writers wrote, the way a spreadsheet
// program does: the ZIP's central directory (ZIP64 records too), each entry
// inflated and checked against its CRC-32 and sizes, and a worksheet's XML
// parsed into rows of cell text with entities, _xHHHH_ forms and XML's
// line-end handling applied. Anything malformed throws std::runtime_error.
#include <map>
#include <string>
#include <utility>
#include <vector>

struct ZipContents {
  std::vector<std::pair<std::string, std::string>> entries;  // name and data, in the directory's order
  bool zip64End = false;                                     // the ZIP64 end record and locator are there
  std::vector<std::string> zip64Entries;                     // entries with a ZIP64 extra field

  const std::string& Entry(const std::string& name) const;
};

ZipContents ReadZip(const std::string& bytes);

using Rows = std::vector<std::vector<std::string>>;

// A worksheet's cells by their references (missing cells are ""). Every
// cell must be an inline string, not empty, every row numbered in order and
// every cell after a gap numbered (and no other), and a cell must have
// style 1 exactly when its text has a line break.
Rows ReadSheet(const std::string& xml);

// Every element of the name in the XML, in order: its attributes by name,
// and under "" what stands between its tags (nothing decoded).
using Element = std::map<std::string, std::string>;
std::vector<Element> Elements(const std::string& xml, const std::string& name);
