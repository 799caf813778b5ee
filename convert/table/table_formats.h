#pragma once
// The kinds of table a conversion writes, in the order the save dialog
// offers them. A new kind is one entry of TableFormats and its TableSink:
// marc2tab's --format, the window's save types and the type remembered from
// one run to the next all come from the list.
#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "file_system.h"
#include "table/table_sink.h"
#include "text/text_encoding.h"

enum class OutputType {
  GbkText,   // tab-delimited text in GBK, as the program always wrote
  Utf8Text,  // the same in UTF-8, for systems that are not Chinese
  Workbook,  // an Excel workbook
};

struct TableFormat {
  OutputType type;
  const char* commandLineWord;  // marc2tab's --format; the two texts share theirs, --encoding tells them apart
  const char* settingWord;      // as the type chosen last is remembered
  const char* extension;        // given to a name typed without one
  TextEncoding encoding;        // of the cells written
  // Text can be appended to; a format that cannot is always written whole,
  // beside its target, and is what a name with its extension asks for.
  bool appendable;
  std::size_t mostColumns;  // kNoColumnLimit for text
  std::unique_ptr<TableSink> (*make)(std::unique_ptr<OutputFile> file, bool wholeFile);
};

constexpr std::size_t kNoColumnLimit = std::numeric_limits<std::size_t>::max();

const std::vector<TableFormat>& TableFormats();
const TableFormat& FormatOf(OutputType type);

// The format whose command-line word and encoding these are, if any.
std::optional<OutputType> FormatForCommandLine(const std::string& word, TextEncoding encoding);
// Whether a word names a format on the command line, in any letter case.
bool IsCommandLineWord(const std::string& word);

// A file name ending in the extension of a format written whole (".xlsx",
// in any letter case) is of that format, whatever else was chosen.
std::optional<OutputType> FormatNamedBy(const std::string& path);
