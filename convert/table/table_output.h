#pragma once
// Where a conversion's rows go: lines of tab-delimited text appended to a
// file, or an Excel workbook written whole. Both take a row cell by cell, in
// the table's encoding (a workbook's is UTF-8): text deletes the tabs a value
// brings, a workbook every control character but the line breaks. Each
// keeps, when something fails, what its kind of file can keep.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "report/failure.h"
#include "table/line_buffer.h"
#include "text/text_encoding.h"
#include "xlsx/xlsx_writer.h"

// Lines of text, each ended by CR LF, each cell by a tab; in GBK, or UTF-8
// after a byte order mark.
class TextTable {
 public:
  TextTable(std::unique_ptr<OutputFile> file, TextEncoding encoding, bool wholeFile);

  // What keeps this run's lines out of the file (an encoding other than its
  // own, a file whose encoding cannot be told), or nullopt.
  std::optional<Failure> Refusal(const std::string& path);
  void Header(const std::vector<std::string>& cells);

  void StartRow() {}
  // Adds to the cell being made; tabs and line breaks are looked for only
  // when the value may hold some.
  void Add(std::string_view value, bool mayHoldTabs) {
    buffer_.Reserve(value.size() + 1);
    if (mayHoldTabs) {
      buffer_.AppendCellText(value);
    } else {
      buffer_.Append(value);
    }
  }
  void EndCell() {
    buffer_.Reserve(1);
    buffer_.Append('\t');
  }
  // Ends the row of the records-th record; false when the file failed.
  bool EndRow(std::int64_t records) {
    buffer_.EndLine();
    rows_ = records;
    return buffer_.Size() < kFlushSize || Flush();
  }

  // Every line written and the file closed (and put in place); false on failure.
  bool Finish();
  // Writes the whole lines gathered so far, before the run gives up for
  // another reason than the file (the records converted so far stay).
  bool FlushWholeLines() { return Flush(); }
  // After a failure: the whole lines written so far stay, whatever a write
  // left after them; with none, the file is as it was before the run, and a
  // file this run made goes again (a whole file, a replacement, always goes).
  // Returns the records kept.
  std::int64_t Abandon();
  FileError Error() const { return file_->Error(); }

 private:
  static constexpr std::size_t kFlushSize = 1 << 20;
  bool Flush();

  std::unique_ptr<OutputFile> file_;
  TextEncoding encoding_;
  bool wholeFile_;
  LineBuffer buffer_;
  std::int64_t rows_ = 0;         // records in the lines made so far
  std::uint64_t committed_ = 0;   // the file's size up to the last whole line written
  std::int64_t keptRecords_ = 0;  // records whose lines are in the file
};

// An Excel workbook, written beside its target and put in its place whole
// (or, on standard output, as it goes).
class WorkbookTable {
 public:
  explicit WorkbookTable(std::unique_ptr<OutputFile> file) : file_(std::move(file)), sink_(*file_) {}

  std::optional<Failure> Refusal(const std::string&) { return std::nullopt; }
  void Header(const std::vector<std::string>& cells) { workbook_ = std::make_unique<XlsxWriter>(sink_, cells); }

  void StartRow() { workbook_->StartRow(); }
  // Every value is looked at for control characters, tabs among them.
  void Add(std::string_view value, bool) { workbook_->AddText(value); }
  void EndCell() { workbook_->EndCell(); }
  bool EndRow(std::int64_t) { return workbook_->EndRow(); }

  bool Finish() { return workbook_->Finish() && file_->Close(); }
  bool FlushWholeLines() { return true; }
  // Nothing of a workbook that failed is kept: the target stays as it was.
  std::int64_t Abandon() {
    file_->Discard();
    return 0;
  }
  FileError Error() const { return file_->Error(); }

  int Sheets() const { return workbook_->Sheets(); }
  std::int64_t CutCells() const { return workbook_->CutCells(); }
  std::int64_t FirstCutRow() const { return workbook_->FirstCutRow(); }
  std::int64_t DeletedControls() const { return workbook_->DeletedControls(); }
  std::int64_t FirstDeletedControlRow() const { return workbook_->FirstDeletedControlRow(); }

 private:
  class FileSink : public ByteSink {
   public:
    explicit FileSink(OutputFile& file) : file_(file) {}
    bool Write(const char* data, std::size_t size) override { return file_.Write(data, size); }

   private:
    OutputFile& file_;
  };

  std::unique_ptr<OutputFile> file_;
  FileSink sink_;
  std::unique_ptr<XlsxWriter> workbook_;
};
