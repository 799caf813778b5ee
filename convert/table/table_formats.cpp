#include "table/table_formats.h"

#include "table/text_table.h"
#include "table/workbook_table.h"
#include "xlsx/xlsx_parts.h"

namespace {

std::unique_ptr<TableSink> MakeText(std::unique_ptr<OutputFile> file, TextEncoding encoding, bool wholeFile) {
  return std::make_unique<TextTable>(std::move(file), encoding, wholeFile);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool EndsWith(const std::string& path, const std::string& extension) {
  return path.size() >= extension.size() && SameWord(path.substr(path.size() - extension.size()), extension);
}

}  // namespace

const std::vector<TableFormat>& TableFormats() {
  static const std::vector<TableFormat> formats = {
      {OutputType::GbkText, "tsv", "gbk", ".txt", TextEncoding::Gbk, true, kNoColumnLimit,
       [](std::unique_ptr<OutputFile> file, bool wholeFile) {
         return MakeText(std::move(file), TextEncoding::Gbk, wholeFile);
       }},
      {OutputType::Utf8Text, "tsv", "utf-8", ".txt", TextEncoding::Utf8, true, kNoColumnLimit,
       [](std::unique_ptr<OutputFile> file, bool wholeFile) {
         return MakeText(std::move(file), TextEncoding::Utf8, wholeFile);
       }},
      {OutputType::Workbook, "xlsx", "xlsx", ".xlsx", TextEncoding::Utf8, false, xlsx_parts::kMostColumns,
       [](std::unique_ptr<OutputFile> file, bool) -> std::unique_ptr<TableSink> {
         return std::make_unique<WorkbookTable>(std::move(file));
       }},
  };
  return formats;
}

const TableFormat& FormatOf(OutputType type) {
  for (const TableFormat& format : TableFormats()) {
    if (format.type == type) return format;
  }
  return TableFormats().front();
}

std::optional<OutputType> FormatForCommandLine(const std::string& word, TextEncoding encoding) {
  std::optional<OutputType> found;
  for (const TableFormat& format : TableFormats()) {
    if (!SameWord(word, format.commandLineWord)) continue;
    if (!found || format.encoding == encoding) found = format.type;
  }
  return found;
}

bool IsCommandLineWord(const std::string& word) { return FormatForCommandLine(word, TextEncoding::Gbk).has_value(); }

std::optional<OutputType> FormatNamedBy(const std::string& path) {
  for (const TableFormat& format : TableFormats()) {
    if (!format.appendable && EndsWith(path, format.extension)) return format.type;
  }
  return std::nullopt;
}
