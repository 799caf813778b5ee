#pragma once
// Lines of tab-delimited text, appended to a file or written whole: a value's
// tabs are deleted and each of its line breaks becomes a blank, so that
// nothing in a value splits a cell or a row.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "table/line_buffer.h"
#include "table/table_sink.h"
#include "text/text_encoding.h"

// Lines of text, each ended by CR LF, each cell by a tab; in GBK, or UTF-8
// after a byte order mark.
class TextTable final : public TableSink {
 public:
  TextTable(std::unique_ptr<OutputFile> file, TextEncoding encoding, bool wholeFile);

  std::optional<Failure> Refusal(const std::string& path) override;
  void Header(const std::vector<std::string>& cells) override;

  void StartRow() override {}
  void Add(std::string_view value, bool mayHoldTabs) override { buffer_.AddToCell(value, mayHoldTabs); }
  void EndCell() override { buffer_.EndCell(); }
  bool EndRow(std::int64_t records) override {
    buffer_.EndLine();
    return Ended(records);
  }
  // A row of the records-th record made elsewhere as a line (its cells and
  // CR LF), in this table's encoding; false when the file failed.
  bool AddLine(std::string_view line, std::int64_t records) {
    buffer_.AppendLine(line);
    return Ended(records);
  }

  bool Finish() override;
  bool FlushWholeRows() override { return Flush(); }
  // After a failure: the whole lines written so far stay, whatever a write
  // left after them; with none, the file is as it was before the run, and a
  // file this run made goes again (a whole file, a replacement, always goes).
  // Returns the records kept.
  std::int64_t Abandon() override;
  FileError Error() const override { return file_->Error(); }

 private:
  static constexpr std::size_t kFlushSize = 1 << 20;
  bool Flush();
  bool Ended(std::int64_t records) {
    rows_ = records;
    return buffer_.Size() < kFlushSize || Flush();
  }

  std::unique_ptr<OutputFile> file_;
  TextEncoding encoding_;
  bool wholeFile_;
  LineBuffer buffer_;
  std::int64_t rows_ = 0;         // records in the lines made so far
  std::uint64_t committed_ = 0;   // the file's size up to the last whole line written
  std::int64_t keptRecords_ = 0;  // records whose lines are in the file
};
