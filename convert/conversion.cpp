#include "conversion.h"

#include <memory>
#include <optional>

#include "marc/field_data.h"
#include "marc/record_loop.h"
#include "marc/record_splitter.h"
#include "marc/record_view.h"
#include "row_maker.h"
#include "table/text_table.h"

namespace {

// Opens the files and turns every record into one row of the table.
class Converter {
 public:
  Converter(const ConversionRequest& request, FileSystem& files, const ProgressCallback& progress)
      : files_(files),
        progress_(progress),
        request_(request),
        format_(FormatOf(request.output)),
        rows_(request.items, request.joinSeparator, format_.encoding, request.header, request.language) {}

  RunSummary Run() {
    FileError error;
    std::unique_ptr<InputFile> input = files_.OpenForReading(request_.inputPath, error);
    if (!input) return Fail(FileFailure(Failure::Kind::CannotOpenInput, request_.inputPath, error));
    std::unique_ptr<TableSink> table = OpenTable(error);
    if (!table) return Fail(FileFailure(Failure::Kind::CannotCreateOutput, request_.outputPath, error));
    // Text, which nearly every run writes, is called directly, cell by cell.
    if (auto* text = dynamic_cast<TextTable*>(table.get())) return ConvertInto(*text, *input);
    return ConvertInto(*table, *input);
  }

 private:
  // A format that cannot be appended to is always written whole; text too
  // when it replaces a file.
  std::unique_ptr<TableSink> OpenTable(FileError& error) {
    const bool replace = request_.outputMode == OutputMode::Replace;
    const bool whole = replace || !format_.appendable;
    const std::string& path = request_.outputPath;
    std::unique_ptr<OutputFile> file =
        whole ? files_.OpenReplacement(path, replace, error) : files_.OpenOutput(path, request_.outputMode, error);
    return file ? format_.make(std::move(file), whole) : nullptr;
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
      if (!table.FlushWholeRows()) return FailWriting(table);
      Failure failure = FailureOf(e);
      failure.keptRecords = table.Abandon();
      return Fail(std::move(failure));
    }
  }

  template <typename Table>
  RunSummary Convert(Table& table, InputFile& input) {
    table.Header(rows_.HeaderCells());
    RecordSplitter splitter(input);
    const std::uint64_t inputSize = input.Size();
    bool writeFailed = false;
    bool stopped = false;
    const RecordsEnd end = ForEachRecord(
        splitter, [&](std::string_view record) { return !(writeFailed = !WriteRow(table, record, splitter)); },
        [&] { return !(writeFailed = !WriteEmptyRow(table, splitter.RecordOffset())); },
        [&] {
          return !(stopped = progress_ && !progress_({summary_.records, splitter.BytesConsumed(), inputSize}));
        });
    if (writeFailed) return FailWriting(table);
    if (stopped) {
      // Stopped: the table ends with the rows so far, a workbook finished.
      summary_.outcome = RunSummary::Outcome::Stopped;
      return Finish(table);
    }
    if (end == RecordsEnd::ReadFailed) {
      // The records converted before the error stay (lines of text).
      if (!table.FlushWholeRows()) return FailWriting(table);
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
    summary_.unwritableBeyondBmp = static_cast<std::int64_t>(rows_.WrittenAsTwoMarks());
    NoteEmptyColumns();
    if (!table.Finish()) return FailWriting(table);
    NoteChanges(table.Changes());
    return summary_;
  }

  void NoteChanges(const TableChanges& changes) {
    summary_.sheets = changes.sheets;
    summary_.cutValues = changes.cutValues;
    summary_.firstCutRecord = changes.firstCutRow;
    summary_.deletedControls = changes.deletedControls;
    summary_.firstDeletedControlRecord = changes.firstDeletedControlRow;
  }

  void NoteEmptyColumns() {
    for (std::size_t column = 0; column < rows_.Columns(); ++column) {
      if (rows_.Filled(column)) continue;
      summary_.emptyColumns.push_back(rows_.Codes()[column].item);
      summary_.emptyColumnHints.push_back(rows_.HintFor(column));
    }
  }

  template <typename Table>
  bool WriteRow(Table& table, std::string_view record, const RecordSplitter& splitter) {
    const RowFacts facts = rows_.Write(table, record);
    ++summary_.records;
    if (facts.encoding == TextEncoding::Utf8) ++summary_.utf8Records;
    if (facts.overridden) NoteOverride(facts.encoding);
    if (facts.unwritable > 0) {
      if (summary_.unwritable == 0) summary_.firstUnwritableRecord = summary_.records;
      summary_.unwritable += static_cast<std::int64_t>(facts.unwritable);
    }
    NoteMalformed(Classify(facts.cellFailed, splitter.CutShort()), splitter.RecordOffset());
    return table.EndRow(summary_.records);
  }

  // A record too long to hold: one empty cell per column keeps the count of
  // rows and records equal.
  template <typename Table>
  bool WriteEmptyRow(Table& table, std::uint64_t offset) {
    rows_.WriteEmpty(table);
    ++summary_.records;
    NoteMalformed(MalformedKind::TooLong, offset);
    return table.EndRow(summary_.records);
  }

  void NoteOverride(TextEncoding readAs) {
    const bool asUtf8 = readAs == TextEncoding::Utf8;
    std::int64_t& count = asUtf8 ? summary_.gbkReadAsUtf8 : summary_.utf8ReadAsGbk;
    std::int64_t& first = asUtf8 ? summary_.firstGbkReadAsUtf8 : summary_.firstUtf8ReadAsGbk;
    if (count++ == 0) first = summary_.records;
  }

  // The faults of the record's whole directory, not only of the fields the
  // columns read: a record counts as malformed whatever the list, as the
  // census of the same file counts it.
  static field_data::DirectoryFaults FaultsOf(const RecordView& view) {
    if (view.Status() != ViewStatus::Ok || view.PlainDirectory()) return {};
    return field_data::WalkFields(view, [](std::size_t, std::string_view, std::string_view) {});
  }

  // What was wrong with the record just written, if anything; the first
  // thing that went wrong names it.
  std::optional<MalformedKind> Classify(bool cellFailed, bool cutShort) const {
    const RecordView& view = rows_.View();
    if (view.Status() == ViewStatus::Refused) return MalformedKind::Refused;
    if (view.Status() == ViewStatus::Failed) return MalformedKind::Unreadable;
    const field_data::DirectoryFaults faults = FaultsOf(view);
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
  const TableFormat& format_;
  RowMaker rows_;
  RunSummary summary_;
};

RunSummary Ended(RunSummary::Outcome outcome, Failure failure) {
  RunSummary summary;
  summary.outcome = outcome;
  summary.failure = std::move(failure);
  return summary;
}

}  // namespace

RunSummary Convert(const ConversionRequest& request, FileSystem& files, const ProgressCallback& progress) {
  const TableFormat& format = FormatOf(request.output);
  // Appending to the input while reading it would read back the lines just written.
  if (files.IsSameFile(request.inputPath, request.outputPath)) {
    return Ended(RunSummary::Outcome::Failed, FileFailure(Failure::Kind::OutputIsInput, request.outputPath));
  }
  if (!format.appendable && request.outputMode == OutputMode::Append) {
    return Ended(RunSummary::Outcome::Failed, FileFailure(Failure::Kind::WorkbookCannotBeAppended, request.outputPath));
  }
  // Refused before any file is made or replaced: a workbook cut to its
  // columns would lose the rest of the list without a word.
  if (format.mostColumns > 0 && request.items.size() > format.mostColumns) {
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
