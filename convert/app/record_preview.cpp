#include "app/record_preview.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "marc/record_loop.h"
#include "marc/record_splitter.h"
#include "row_maker.h"
#include "table/memory_table.h"

namespace {

// False when a read failed; the records before it stay. Reading ends after
// the record that takes it past kPreviewBytes: however the file is made, the
// preview reads no more than that and one record, or the bytes that tell
// that a record is too long to hold.
bool ReadRecords(InputFile& input, std::vector<std::string>& records) {
  RecordSplitter splitter(input);
  const RecordsEnd end = ForEachRecord(
      splitter,
      [&](std::string_view record) {
        records.emplace_back(record);
        return true;
      },
      [&] {
        records.emplace_back();
        return true;
      },
      [&] { return records.size() < kPreviewRecords && splitter.BytesConsumed() <= kPreviewBytes; });
  return end != RecordsEnd::ReadFailed;
}

}  // namespace

PreviewRecords ReadPreviewRecords(FileSystem& files, const std::string& path) {
  PreviewRecords preview;
  try {
    FileError error;
    const std::unique_ptr<InputFile> input = files.OpenForReading(path, error);
    if (!input) {
      preview.failure = FileFailure(Failure::Kind::CannotOpenInput, path, error);
      return preview;
    }
    if (!ReadRecords(*input, preview.records)) {
      preview.failure = FileFailure(Failure::Kind::CannotReadInput, path, input->Error());
    }
  } catch (const std::exception& e) {
    preview.failure = FailureOf(e);
  }
  return preview;
}

std::vector<PreviewRow> PreviewTable(const PreviewRecords& preview, const std::vector<std::string>& items,
                                     std::string_view joinSeparator) {
  // Into UTF-8, for the screen, as a conversion writes its rows.
  RowMaker maker(items, joinSeparator, TextEncoding::Utf8);
  MemoryTable table;
  for (const std::string& record : preview.records) {
    if (record.empty()) {
      maker.WriteEmpty(table);  // too long to hold: empty cells, as a conversion writes
    } else {
      maker.Write(table, record);
    }
  }
  return std::move(table.Rows());
}
