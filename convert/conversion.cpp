#include "conversion.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <optional>

#include "marc/field_code.h"
#include "marc/field_extractor.h"
#include "marc/field_list.h"
#include "marc/record_splitter.h"
#include "marc/record_type.h"
#include "marc/record_view.h"
#include "table/table_output.h"
#include "text/recoder.h"
#include "text/text_cell.h"
#include "xlsx/xlsx_parts.h"

namespace {

// Text typed by a person (UTF-8) in the output's encoding, without the tabs
// and line breaks that would split a cell or a row.
std::string ForOutput(std::string_view utf8, TextEncoding output) {
  std::string text;
  Recoder(TextEncoding::Utf8, output).Convert(utf8, text);
  text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }),
             text.end());
  return text;
}

std::vector<FieldCode> PrepareCodes(const std::vector<std::string>& items) {
  std::vector<FieldCode> codes;
  codes.reserve(items.size());
  for (const std::string& item : items) codes.push_back(ParseFieldCode(item));
  return codes;
}

// Opens the files and turns every record into one row of the table.
class Converter {
 public:
  Converter(const ConversionRequest& request, FileSystem& files, const ProgressCallback& progress)
      : files_(files),
        progress_(progress),
        request_(request),
        encoding_(request.format == TableFormat::Workbook ? TextEncoding::Utf8 : request.outputEncoding),
        typeNames_(encoding_),
        extractor_(PrepareCodes(request.items), typeNames_),
        separator_(ForOutput(request.joinSeparator, encoding_)),
        fromGbk_(TextEncoding::Gbk, encoding_),
        fromUtf8_(TextEncoding::Utf8, encoding_),
        filled_(extractor_.Columns(), 0) {}

  RunSummary Run() {
    FileError error;
    std::unique_ptr<InputFile> input = files_.OpenForReading(request_.inputPath, error);
    if (!input) return Fail(FileFailure(Failure::Kind::CannotOpenInput, request_.inputPath, error));
    if (!OpenTable(error)) return Fail(FileFailure(Failure::Kind::CannotCreateOutput, request_.outputPath, error));
    return workbook_ ? ConvertInto(*workbook_, *input) : ConvertInto(*text_, *input);
  }

 private:
  // A workbook is always written whole; text too when it replaces a file.
  bool OpenTable(FileError& error) {
    const bool replace = request_.outputMode == OutputMode::Replace;
    const std::string& path = request_.outputPath;
    if (request_.format == TableFormat::Workbook) {
      std::unique_ptr<OutputFile> file = files_.OpenReplacement(path, replace, error);
      if (file) workbook_ = std::make_unique<WorkbookTable>(std::move(file));
      return workbook_ != nullptr;
    }
    std::unique_ptr<OutputFile> file =
        replace ? files_.OpenReplacement(path, true, error) : files_.OpenOutput(path, request_.outputMode, error);
    if (file) text_ = std::make_unique<TextTable>(std::move(file), encoding_, replace);
    return text_ != nullptr;
  }

  template <typename Table>
  RunSummary ConvertInto(Table& table, InputFile& input) {
    if (std::optional<Failure> refusal = table.Refusal(request_.outputPath)) {
      table.Abandon();
      summary_.outcome = RunSummary::Outcome::Refused;
      summary_.failure = std::move(*refusal);
      return summary_;
    }
    try {
      return Convert(table, input);
    } catch (const std::exception& e) {
      // Memory ran out: the lines converted so far are kept.
      if (!table.FlushWholeLines()) return FailWriting(table);
      Failure failure = FailureOf(e);
      failure.keptRecords = table.Abandon();
      return Fail(std::move(failure));
    }
  }

  template <typename Table>
  RunSummary Convert(Table& table, InputFile& input) {
    WriteHeader(table);
    RecordSplitter splitter(input);
    const std::uint64_t inputSize = input.Size();
    std::string_view record;
    for (;;) {
      const RecordSplitter::Result result = splitter.Next(record);
      if (result == RecordSplitter::Result::End) break;
      if (result == RecordSplitter::Result::Record && !WriteRow(table, record, splitter)) return FailWriting(table);
      if (result == RecordSplitter::Result::TooLong && !WriteEmptyRow(table, splitter.RecordOffset())) {
        return FailWriting(table);
      }
      if (progress_ && !progress_({summary_.records, splitter.BytesConsumed(), inputSize})) {
        // Stopped: the table ends with the rows so far, a workbook finished.
        summary_.outcome = RunSummary::Outcome::Stopped;
        return Finish(table);
      }
    }
    if (splitter.ReadFailed()) {
      // The records converted before the error stay (lines of text).
      if (!table.FlushWholeLines()) return FailWriting(table);
      Failure failure = FileFailure(Failure::Kind::CannotReadInput, request_.inputPath, input.Error());
      failure.keptRecords = table.Abandon();
      return Fail(std::move(failure));
    }
    summary_.outcome = RunSummary::Outcome::Completed;
    RunSummary finished = Finish(table);
    // The line breaks after the last record are read only now: the whole input.
    if (progress_ && finished.outcome == RunSummary::Outcome::Completed) {
      progress_({summary_.records, splitter.BytesConsumed(), inputSize});
    }
    return finished;
  }

  template <typename Table>
  RunSummary Finish(Table& table) {
    summary_.unwritableBeyondBmp = static_cast<std::int64_t>(fromUtf8_.WrittenAsTwoMarks());
    NoteEmptyColumns();
    NoteWorkbook();
    if (!table.Finish()) return FailWriting(table);
    return summary_;
  }

  void NoteWorkbook() {
    if (!workbook_) return;
    summary_.sheets = workbook_->Sheets();
    summary_.cutValues = workbook_->CutCells();
    summary_.firstCutRecord = workbook_->FirstCutRow();
    summary_.deletedControls = workbook_->DeletedControls();
    summary_.firstDeletedControlRecord = workbook_->FirstDeletedControlRow();
  }

  void NoteOverride(TextEncoding readAs) {
    const bool asUtf8 = readAs == TextEncoding::Utf8;
    std::int64_t& count = asUtf8 ? summary_.gbkReadAsUtf8 : summary_.utf8ReadAsGbk;
    std::int64_t& first = asUtf8 ? summary_.firstGbkReadAsUtf8 : summary_.firstUtf8ReadAsGbk;
    if (count++ == 0) first = summary_.records + 1;
  }

  void NoteEmptyColumns() {
    for (std::size_t column = 0; column < extractor_.Columns(); ++column) {
      if (!filled_[column]) summary_.emptyColumns.push_back(extractor_.Codes()[column].item);
    }
  }

  // The items as typed, but a tab or line break in one (a list pasted from a
  // spreadsheet row) must not split the header.
  template <typename Table>
  void WriteHeader(Table& table) {
    std::vector<std::string> cells;
    cells.reserve(extractor_.Columns());
    for (const FieldCode& code : extractor_.Codes()) cells.push_back(ForOutput(code.item, encoding_));
    table.Header(cells);
  }

  template <typename Table>
  bool WriteRow(Table& table, std::string_view record, const RecordSplitter& splitter) {
    view_.Build(record);
    extractor_.Read(view_);
    const bool recordHasTabs = text_cell::HoldsTabOrLineBreak(record);
    const TextEncoding encoding = extractor_.Encoding();
    if (encoding == TextEncoding::Utf8) ++summary_.utf8Records;
    if (extractor_.Decision().Overridden()) NoteOverride(encoding);
    // GBK records in GBK output, nearly every one, pass through as they are.
    recoder_ = encoding == TextEncoding::Gbk ? (encoding_ == TextEncoding::Gbk ? nullptr : &fromGbk_) : &fromUtf8_;
    bool cellFailed = false;
    std::string_view value;
    const std::size_t columns = extractor_.Columns();
    table.StartRow();
    for (std::size_t column = 0; column < columns; ++column) {
      if (extractor_.IsJoined(column)) {
        const std::vector<std::string_view>& occurrences = extractor_.Occurrences(column);
        filled_[column] |= !occurrences.empty();
        for (std::size_t i = 0; i < occurrences.size(); ++i) {
          if (i > 0) table.Add(separator_, false);
          table.Add(Recode(occurrences[i]), recordHasTabs);
        }
      } else if (extractor_.Value(column, value)) {
        filled_[column] |= !value.empty();
        // The names of record types are written in the output's encoding already.
        if (recoder_ != nullptr && !extractor_.IsRecordType(column)) value = Recode(value);
        table.Add(value, recordHasTabs);
      } else {
        cellFailed = true;  // an empty cell keeps the columns aligned
      }
      table.EndCell();
    }
    ++summary_.records;
    NoteMalformed(Classify(cellFailed, splitter.CutShort()), splitter.RecordOffset());
    return table.EndRow(summary_.records);
  }

  // The faults of the record's whole directory, not only of the fields the
  // columns read: a record counts as malformed whatever the list, as the
  // census of the same file counts it.
  static field_data::DirectoryFaults FaultsOf(const RecordView& view) {
    if (view.Status() != ViewStatus::Ok || view.PlainDirectory()) return {};
    return field_data::WalkFields(view, [](std::size_t, std::string_view, std::string_view) {});
  }

  // A value of the record in the output's encoding; what cannot be written
  // is counted.
  std::string_view Recode(std::string_view value) {
    if (recoder_ == nullptr) return value;
    recoded_.clear();
    const std::size_t replaced = recoder_->Convert(value, recoded_);
    if (replaced > 0) {
      if (summary_.unwritable == 0) summary_.firstUnwritableRecord = summary_.records + 1;
      summary_.unwritable += static_cast<std::int64_t>(replaced);
    }
    return recoded_;
  }

  // A record too long to hold: one empty cell per column keeps the count of
  // rows and records equal.
  template <typename Table>
  bool WriteEmptyRow(Table& table, std::uint64_t offset) {
    table.StartRow();
    for (std::size_t column = 0; column < extractor_.Columns(); ++column) table.EndCell();
    ++summary_.records;
    NoteMalformed(MalformedKind::TooLong, offset);
    return table.EndRow(summary_.records);
  }

  // What was wrong with the record just written, if anything; the first
  // thing that went wrong names it.
  std::optional<MalformedKind> Classify(bool cellFailed, bool cutShort) const {
    if (view_.Status() == ViewStatus::Refused) return MalformedKind::Refused;
    if (view_.Status() == ViewStatus::Failed) return MalformedKind::Unreadable;
    const field_data::DirectoryFaults faults = FaultsOf(view_);
    if (cellFailed || faults.badEntry) return MalformedKind::BadCell;
    if (faults.overlap) return MalformedKind::FieldsOverlap;
    if (cutShort) return MalformedKind::NoRecordEnd;
    return std::nullopt;
  }

  void NoteMalformed(std::optional<MalformedKind> kind, std::uint64_t offset) {
    if (!kind) return;
    ++summary_.malformed;
    if (summary_.firstMalformed.size() < kMalformedRecordsKept) {
      summary_.firstMalformed.push_back({summary_.records, offset, *kind});
    }
  }

  template <typename Table>
  RunSummary FailWriting(Table& table) {
    Failure failure = FileFailure(Failure::Kind::CannotWriteOutput, request_.outputPath, table.Error());
    failure.keptRecords = table.Abandon();
    return Fail(std::move(failure));
  }

  RunSummary Fail(Failure failure) {
    summary_.outcome = RunSummary::Outcome::Failed;
    summary_.failure = std::move(failure);
    return summary_;
  }

  FileSystem& files_;
  const ProgressCallback& progress_;
  const ConversionRequest& request_;
  TextEncoding encoding_;  // of the table: a workbook's is UTF-8
  RecordTypeNames typeNames_;
  FieldExtractor extractor_;
  std::string separator_;  // in the table's encoding
  Recoder fromGbk_;
  Recoder fromUtf8_;
  Recoder* recoder_ = nullptr;  // for the record being written; null when its bytes pass through
  std::string recoded_;
  std::unique_ptr<TextTable> text_;  // the one of the two the run writes
  std::unique_ptr<WorkbookTable> workbook_;
  RecordView view_;
  std::vector<char> filled_;  // per column: whether any record gave it a value
  RunSummary summary_;
};

RunSummary Ended(RunSummary::Outcome outcome, Failure failure) {
  RunSummary summary;
  summary.outcome = outcome;
  summary.failure = std::move(failure);
  return summary;
}

}  // namespace

bool NamesWorkbook(const std::string& path) {
  constexpr std::string_view kExtension = ".xlsx";
  if (path.size() < kExtension.size()) return false;
  for (std::size_t i = 0; i < kExtension.size(); ++i) {
    const char c = path[path.size() - kExtension.size() + i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kExtension[i]) return false;
  }
  return true;
}

RunSummary Convert(const ConversionRequest& request, FileSystem& files, const ProgressCallback& progress) {
  // Appending to the input while reading it would read back the lines just written.
  if (files.IsSameFile(request.inputPath, request.outputPath)) {
    return Ended(RunSummary::Outcome::Failed, FileFailure(Failure::Kind::OutputIsInput, request.outputPath));
  }
  if (request.format == TableFormat::Workbook && request.outputMode == OutputMode::Append) {
    return Ended(RunSummary::Outcome::Failed, FileFailure(Failure::Kind::WorkbookCannotBeAppended, request.outputPath));
  }
  // Refused before any file is made or replaced: a workbook cut to its
  // columns would lose the rest of the list without a word.
  if (request.format == TableFormat::Workbook && request.items.size() > xlsx_parts::kMostColumns) {
    Failure failure;
    failure.kind = Failure::Kind::TooManyColumns;
    failure.items = request.items.size();
    return Ended(RunSummary::Outcome::Refused, std::move(failure));
  }
  try {
    return Converter(request, files, progress).Run();
  } catch (const std::exception& e) {
    // Before any file was opened (a field list too long for memory, say).
    return Ended(RunSummary::Outcome::Failed, FailureOf(e));
  }
}
