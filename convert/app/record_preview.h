#pragma once
// The first records of a file, kept so that a person can see at once what a
// list of items would make of them while ticking its columns: the same cells
// a conversion writes, in UTF-8 for the screen.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "report/failure.h"

constexpr std::size_t kPreviewRecords = 20;
// A preview shows no more columns than this, more than anyone reads: a list
// of thousands of items costs no more than that on every tick.
constexpr std::size_t kPreviewColumnsShown = 200;
// Reading stops after the record that takes it past this many bytes of the
// file: a file of huge records still shows its first one, and the preview
// holds no more than this and one record.
constexpr std::size_t kPreviewBytes = 4u << 20;

struct PreviewRecords {
  // Copies of the records' bytes; "" stands for a record too long to hold,
  // which a conversion writes as a row of empty cells.
  std::vector<std::string> records;
  Failure failure;  // why the file could not be read; the records before it stay
};

// Reads the first kPreviewRecords records of the file at path (UTF-8).
PreviewRecords ReadPreviewRecords(FileSystem& files, const std::string& path);

using PreviewRow = std::vector<std::string>;

// One row per record, one cell per item, each as a conversion with this join
// separator writes it into UTF-8 output (tabs deleted, record types by name,
// what is no character as U+FFFD).
std::vector<PreviewRow> PreviewTable(const PreviewRecords& preview, const std::vector<std::string>& items,
                                     std::string_view joinSeparator);
