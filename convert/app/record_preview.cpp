#include "app/record_preview.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "marc/field_code.h"
#include "marc/field_extractor.h"
#include "marc/record_splitter.h"
#include "marc/record_type.h"
#include "marc/record_view.h"
#include "text/recoder.h"
#include "text/text_cell.h"

namespace {

// The cell as tab-delimited text holds it: no tab, and a blank for each line break.
void AsTextCell(std::string& cell) {
  if (!text_cell::HoldsTabOrLineBreak(cell)) return;
  std::string written;
  text_cell::Write(cell, [&written](std::string_view piece) { written += piece; });
  cell.swap(written);
}

// The separator as a conversion into UTF-8 writes it: nothing in it may
// split a cell or a row.
std::string SeparatorCell(std::string_view separator) {
  std::string cell;
  Recoder(TextEncoding::Utf8, TextEncoding::Utf8).Convert(separator, cell);
  cell.erase(std::remove_if(cell.begin(), cell.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }),
             cell.end());
  return cell;
}

std::vector<FieldCode> CodesOf(const std::vector<std::string>& items) {
  std::vector<FieldCode> codes;
  codes.reserve(items.size());
  for (const std::string& item : items) codes.push_back(ParseFieldCode(item));
  return codes;
}

// Turns records into rows with one extractor, made once for all of them.
class PreviewWriter {
 public:
  PreviewWriter(const std::vector<std::string>& items, std::string_view joinSeparator)
      : typeNames_(TextEncoding::Utf8),
        extractor_(CodesOf(items), typeNames_),
        separator_(SeparatorCell(joinSeparator)),
        fromGbk_(TextEncoding::Gbk, TextEncoding::Utf8),
        fromUtf8_(TextEncoding::Utf8, TextEncoding::Utf8) {}

  PreviewRow Row(const std::string& record) {
    const std::size_t columns = extractor_.Columns();
    PreviewRow row(columns);
    if (record.empty()) return row;  // too long to hold: empty cells, as a conversion writes
    view_.Build(record);
    extractor_.Read(view_);
    Recoder& recoder = extractor_.Encoding() == TextEncoding::Gbk ? fromGbk_ : fromUtf8_;
    for (std::size_t column = 0; column < columns; ++column) Cell(column, recoder, row[column]);
    return row;
  }

 private:
  void Cell(std::size_t column, Recoder& recoder, std::string& cell) {
    if (extractor_.IsJoined(column)) {
      const std::vector<std::string_view>& occurrences = extractor_.Occurrences(column);
      for (std::size_t i = 0; i < occurrences.size(); ++i) {
        if (i > 0) cell += separator_;
        recoder.Convert(occurrences[i], cell);
      }
    } else if (std::string_view value; extractor_.Value(column, value)) {
      // The names of record types are UTF-8 already.
      if (extractor_.IsRecordType(column)) {
        cell = value;
      } else {
        recoder.Convert(value, cell);
      }
    }
    AsTextCell(cell);
  }

  RecordTypeNames typeNames_;
  FieldExtractor extractor_;
  std::string separator_;
  Recoder fromGbk_;
  Recoder fromUtf8_;
  RecordView view_;
};

// False when a read failed; the records before it stay. Reading ends after
// the record that takes it past kPreviewBytes: however the file is made, the
// preview reads no more than that and one record, or the bytes that tell
// that a record is too long to hold.
bool ReadRecords(InputFile& input, std::vector<std::string>& records) {
  RecordSplitter splitter(input);
  std::string_view record;
  while (records.size() < kPreviewRecords) {
    const RecordSplitter::Result result = splitter.Next(record);
    if (result == RecordSplitter::Result::End) break;
    if (result == RecordSplitter::Result::Record) records.emplace_back(record);
    if (result == RecordSplitter::Result::TooLong) records.emplace_back();
    if (splitter.BytesConsumed() > kPreviewBytes) break;
  }
  return !splitter.ReadFailed();
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
  PreviewWriter writer(items, joinSeparator);
  std::vector<PreviewRow> rows;
  rows.reserve(preview.records.size());
  for (const std::string& record : preview.records) rows.push_back(writer.Row(record));
  return rows;
}
