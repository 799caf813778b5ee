#include "conversion.h"

#include <memory>
#include <optional>

#include "marc/record_loop.h"
#include "marc/record_splitter.h"
#include "row_batch.h"
#include "row_maker.h"
#include "row_pipeline.h"
#include "table/text_table.h"
#include "work/work_pool.h"

namespace {

// Which problem of the log a malformed record is.
ProblemKind ProblemOf(MalformedKind kind) {
  switch (kind) {
    case MalformedKind::Refused: return ProblemKind::Refused;
    case MalformedKind::Unreadable: return ProblemKind::Unreadable;
    case MalformedKind::BadCell: return ProblemKind::BadCell;
    case MalformedKind::TooLong: return ProblemKind::TooLong;
    case MalformedKind::NoRecordEnd: return ProblemKind::NoRecordEnd;
    case MalformedKind::FieldsOverlap: return ProblemKind::FieldsOverlap;
  }
  return ProblemKind::Refused;
}

// The rows a table takes: text as whole lines, made on the pool with their
// cells as the table holds them; any other table cell by cell.
template <typename Table>
struct RowsFor {
  using Type = RecordedCells;
};
template <>
struct RowsFor<TextTable> {
  using Type = TextLines;
};

template <typename Rows>
std::size_t RowBegin(const RowBatch<Rows>& batch, std::size_t row) {
  return row == 0 ? 0 : batch.made[row - 1].cellsEnd;
}

void HandRow(TextTable&, const RowBatch<TextLines>&, std::size_t) {}  // the cells are in its line
bool EndRow(TextTable& table, const RowBatch<TextLines>& batch, std::size_t row, std::int64_t records) {
  return table.AddLine(batch.rows.Between(RowBegin(batch, row), batch.made[row].cellsEnd), records);
}
void HandRow(TableSink& table, const RowBatch<RecordedCells>& batch, std::size_t row) {
  table.StartRow();
  batch.rows.HandTo(table, RowBegin(batch, row), batch.made[row].cellsEnd);
}
bool EndRow(TableSink& table, const RowBatch<RecordedCells>&, std::size_t, std::int64_t records) {
  return table.EndRow(records);
}

// Opens the files and turns every record of each input, in order, into one
// row of the table.
class Converter {
 public:
  Converter(const ConversionRequest& request, FileSystem& files, const ProgressCallback& progress)
      : files_(files),
        progress_(progress),
        request_(request),
        format_(FormatOf(request.output)),
        rows_(request.items, request.joinSeparator, format_.encoding, request.header, request.language),
        log_(files, request.log, format_.encoding) {}

  RunSummary Run() {
    summary_.inputs = request_.inputPaths;
    // Every input is there before anything is written, or nothing runs.
    for (const std::string& path : request_.inputPaths) {
      if (!files_.Exists(path)) {
        return Fail(FileFailure(Failure::Kind::CannotOpenInput, path, {FileError::Kind::NotFound, 0}));
      }
      const std::uint64_t size = files_.SizeOf(path);
      knownSize_ = knownSize_ && size > 0;
      totalSize_ += size;
    }
    if (!knownSize_) totalSize_ = 0;
    FileError error;
    std::unique_ptr<InputFile> input = files_.OpenForReading(request_.inputPaths.front(), error);
    if (!input) return Fail(FileFailure(Failure::Kind::CannotOpenInput, request_.inputPaths.front(), error));
    std::unique_ptr<TableSink> table = OpenTable(error);
    if (!table) return Fail(FileFailure(Failure::Kind::CannotCreateOutput, request_.outputPath, error));
    // Text, which nearly every run writes, is called directly, cell by cell.
    if (auto* text = dynamic_cast<TextTable*>(table.get())) return ConvertInto(*text, std::move(input));
    return ConvertInto(*table, std::move(input));
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
  RunSummary ConvertInto(Table& table, std::unique_ptr<InputFile> input) {
    if (std::optional<Failure> refusal = table.Refusal(request_.outputPath)) {
      table.Abandon();
      summary_.outcome = RunSummary::Outcome::Refused;
      summary_.failure = std::move(*refusal);
      return summary_;
    }
    RunSummary summary = Guarded(table, std::move(input));
    // The problems met are the run's, however it ended.
    const ProblemLog::Outcome logged = log_.Finish();
    summary.loggedProblems = logged.lines;
    summary.logCutShort = logged.cutShort;
    summary.logFailure = logged.failure;
    return summary;
  }

  template <typename Table>
  RunSummary Guarded(Table& table, std::unique_ptr<InputFile> input) {
    try {
      return Convert(table, std::move(input));
    } catch (const std::exception& e) {
      // Memory ran out: the lines converted so far are kept.
      if (!table.FlushWholeRows()) return FailWriting(table);
      Failure failure = FailureOf(e);
      failure.keptRecords = table.Abandon();
      return Fail(std::move(failure));
    }
  }

  template <typename Table>
  RunSummary Convert(Table& table, std::unique_ptr<InputFile> input) {
    table.Header(rows_.HeaderCells());
    std::unique_ptr<WorkPool> ownPool;
    using Rows = typename RowsFor<Table>::Type;
    RowRing<Rows> ring(PoolFor(request_.threads, ownPool),
                       [this] { return std::make_unique<RowSlot<Rows>>(request_, format_.encoding); });
    for (file_ = 0; file_ < request_.inputPaths.size(); ++file_) {
      const std::string& path = request_.inputPaths[file_];
      FileError error;
      if (!input) input = files_.OpenForReading(path, error);
      if (!input) return FailReading(table, FileFailure(Failure::Kind::CannotOpenInput, path, error));
      recordsBefore_ = summary_.records;
      const RecordsEnd end = ConvertFile(table, *input, ring);
      if (writeFailed_) return FailWriting(table);
      if (stopped_) return Stop(table);
      if (end == RecordsEnd::ReadFailed) {
        // The records converted before the error stay (lines of text).
        return FailReading(table, FileFailure(Failure::Kind::CannotReadInput, path, input->Error()));
      }
      input.reset();
    }
    summary_.outcome = RunSummary::Outcome::Completed;
    RunSummary finished = Finish(table);
    // The line breaks after the last record are read only now: the whole input.
    if (progress_ && finished.outcome == RunSummary::Outcome::Completed) {
      progress_({summary_.records, bytesBefore_, totalSize_});
    }
    return finished;
  }

  // Cuts the file's records into batches, whose rows are made on the pool
  // while the next are cut, and writes the rows of each in turn.
  template <typename Table, typename Rows>
  RecordsEnd ConvertFile(Table& table, InputFile& input, RowRing<Rows>& ring) {
    RecordSplitter splitter(input);
    // A file whose size was not known beforehand (a pipe) shows its own progress.
    size_ = knownSize_ ? totalSize_ : input.Size();
    before_ = knownSize_ ? bytesBefore_ : 0;
    const std::string name = NameWithoutFolder(request_.inputPaths[file_]);
    std::int64_t recordsCut = 0;
    for (;;) {
      RowBatch<Rows>& batch = ring.Filling().batch;
      batch.Begin(file_, name, recordsCut);
      std::exception_ptr broke;  // reading broke off: the records before it are still converted
      const RecordSplitter::Result last = batch.FillUntilBroken(splitter, broke);
      recordsCut += static_cast<std::int64_t>(batch.records.size());
      if (!batch.Empty()) {
        ring.Hand([keepIds = log_.Wanted()](RowSlot<Rows>& slot) { MakeRows(slot.maker, slot.batch, keepIds); });
      }
      // At the end, and while a record too long to hold is skipped (an
      // endless input, say), every row so far is written.
      const bool drain = last != RecordSplitter::Result::Record;
      while (ring.InFlight() && (drain || !ring.CanFill())) {
        if (!WriteBatch(table, ring.Oldest())) return RecordsEnd::Stopped;
        ring.Taken();
      }
      if (broke) std::rethrow_exception(broke);
      if (last == RecordSplitter::Result::End) break;
      if (last == RecordSplitter::Result::Busy && !GoOn(splitter.BytesConsumed())) return RecordsEnd::Stopped;
    }
    bytesBefore_ += splitter.BytesConsumed();
    return splitter.ReadFailed() ? RecordsEnd::ReadFailed : RecordsEnd::InputEnded;
  }

  bool GoOn(std::uint64_t consumed) {
    stopped_ = progress_ && !progress_({summary_.records, before_ + consumed, size_});
    return !stopped_;
  }

  // Writes the rows of a batch, counting and logging what each found; false
  // when the file failed or the run was stopped.
  template <typename Table, typename Slot>
  bool WriteBatch(Table& table, Slot& slot) {
    const auto& batch = slot.batch;
    for (std::size_t row = 0; row < batch.made.size(); ++row) {
      HandRow(table, batch, row);
      writeFailed_ = !WriteRow(table, batch, row);
      JoinUp(slot, batch.made[row]);
      if (writeFailed_ || !GoOn(batch.records[row].consumedAfter)) return false;
    }
    // Making a row failed (memory ran out): the rows before it are written.
    if (batch.failure) std::rethrow_exception(batch.failure);
    return true;
  }

  // The columns the slot's maker filled and the probes it found, as far as
  // this row.
  template <typename Slot>
  void JoinUp(Slot& slot, const MadeRow& made) {
    rows_.Absorb(slot.maker.NewlyFilled(), slot.filledTaken, made.filledEnd, slot.maker.NewlyFoundProbes(),
                 slot.probesTaken, made.foundProbesEnd);
    slot.filledTaken = made.filledEnd;
    slot.probesTaken = made.foundProbesEnd;
    writtenAsTwoMarks_ += made.writtenAsTwoMarks;
  }

  // Stopped: the table ends with the rows so far, a workbook finished; but a
  // file that was to be replaced stays as it was, since the new one is not whole.
  template <typename Table>
  RunSummary Stop(Table& table) {
    summary_.outcome = RunSummary::Outcome::Stopped;
    if (request_.outputMode != OutputMode::Replace) return Finish(table);
    table.Abandon();
    summary_.replacedNothing = true;
    return summary_;
  }

  template <typename Table>
  RunSummary FailReading(Table& table, Failure failure) {
    if (!table.FlushWholeRows()) return FailWriting(table);
    failure.keptRecords = table.Abandon();
    return Fail(std::move(failure));
  }

  template <typename Table>
  RunSummary Finish(Table& table) {
    summary_.unwritableBeyondBmp = static_cast<std::int64_t>(writtenAsTwoMarks_);
    NoteEmptyColumns();
    if (!table.Finish()) return FailWriting(table);
    NoteChanges(table.Changes());
    return summary_;
  }

  // Rows count across the inputs; a place counts within its file.
  RecordPlace PlaceOfRow(std::int64_t row) const {
    RecordPlace place;
    if (row == 0) return place;
    std::size_t file = 0;
    while (file + 1 < fileFirstRows_.size() && fileFirstRows_[file + 1] <= row) ++file;
    place.file = file;
    place.number = row - fileFirstRows_[file] + 1;
    return place;
  }

  RecordPlace Here() const { return {file_, summary_.records - recordsBefore_}; }

  void NoteChanges(const TableChanges& changes) {
    summary_.sheets = changes.sheets;
    summary_.cutValues = changes.cutValues;
    summary_.firstCutRecord = PlaceOfRow(changes.firstCutRow);
    summary_.deletedControls = changes.deletedControls;
    summary_.firstDeletedControlRecord = PlaceOfRow(changes.firstDeletedControlRow);
  }

  void NoteEmptyColumns() {
    for (std::size_t column = 0; column < rows_.Columns(); ++column) {
      if (rows_.Filled(column)) continue;
      summary_.emptyColumns.push_back(rows_.Codes()[column].item);
      summary_.emptyColumnHints.push_back(rows_.HintFor(column));
    }
  }

  void CountRecord() {
    if (summary_.records == recordsBefore_) fileFirstRows_.resize(file_ + 1, summary_.records + 1);
    ++summary_.records;
  }

  template <typename Table, typename Rows>
  bool WriteRow(Table& table, const RowBatch<Rows>& batch, std::size_t row) {
    const MadeRow& made = batch.made[row];
    const RowFacts& facts = made.facts;
    CountRecord();
    if (facts.encoding == TextEncoding::Utf8) ++summary_.utf8Records;
    if (facts.unwritable > 0) {
      if (summary_.unwritable == 0) summary_.firstUnwritableRecord = Here();
      summary_.unwritable += static_cast<std::int64_t>(facts.unwritable);
    }
    const std::uint64_t offset = batch.records[row].offset;
    NoteMalformed(made.malformed, offset);
    const bool written = EndRow(table, batch, row, summary_.records);
    if (facts.overridden) NoteOverride(facts.encoding);
    if (log_.Wanted()) LogRow(table, batch, row);
    return written;
  }

  // Every problem of the row just written, the record's own first.
  template <typename Table, typename Rows>
  void LogRow(const Table& table, const RowBatch<Rows>& batch, std::size_t row) {
    const MadeRow& made = batch.made[row];
    const std::vector<std::uint32_t>& cut = table.CutColumns();
    const std::size_t marked = row == 0 ? 0 : batch.made[row - 1].unwritableEnd;
    if (!made.malformed && !made.facts.overridden && cut.empty() && marked == made.unwritableEnd) return;
    const ProblemPlace place{&request_.inputPaths[file_], Here().number, batch.records[row].offset, batch.Id(row),
                             made.facts.encoding};
    if (made.malformed) log_.Note(place, {}, ProblemOf(*made.malformed));
    if (made.facts.overridden) {
      log_.Note(place, {},
                made.facts.encoding == TextEncoding::Utf8 ? ProblemKind::DeclaredGbkReadAsUtf8
                                                          : ProblemKind::DeclaredUtf8ReadAsGbk);
    }
    for (std::size_t i = marked; i < made.unwritableEnd; ++i) {
      log_.Note(place, rows_.Codes()[batch.unwritableColumns[i]].item, ProblemKind::WrittenAsMarks);
    }
    for (const std::uint32_t column : cut) log_.Note(place, rows_.Codes()[column].item, ProblemKind::CutValue);
  }

  void NoteOverride(TextEncoding readAs) {
    const bool asUtf8 = readAs == TextEncoding::Utf8;
    std::int64_t& count = asUtf8 ? summary_.gbkReadAsUtf8 : summary_.utf8ReadAsGbk;
    RecordPlace& first = asUtf8 ? summary_.firstGbkReadAsUtf8 : summary_.firstUtf8ReadAsGbk;
    if (count++ == 0) first = Here();
  }

  void NoteMalformed(std::optional<MalformedKind> kind, std::uint64_t offset) {
    if (!kind) return;
    ++summary_.malformed;
    if (summary_.firstMalformed.size() < kMalformedRecordsKept) {
      summary_.firstMalformed.push_back({Here().number, offset, *kind, file_});
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
  ProblemLog log_;
  RunSummary summary_;
  std::size_t file_ = 0;                     // the input being read
  std::int64_t recordsBefore_ = 0;           // records of the inputs before it
  std::vector<std::int64_t> fileFirstRows_;  // the first row of each input that had records
  std::uint64_t totalSize_ = 0;              // of every input; 0 when some size is not known
  bool knownSize_ = true;
  std::uint64_t bytesBefore_ = 0;  // bytes of the inputs before the one being read
  std::uint64_t before_ = 0;       // the progress of the input being read starts from here
  std::uint64_t size_ = 0;         // of which this is the whole
  std::size_t writtenAsTwoMarks_ = 0;
  bool writeFailed_ = false;
  bool stopped_ = false;
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
  if (request.inputPaths.empty()) {
    return Ended(RunSummary::Outcome::Failed,
                 FileFailure(Failure::Kind::CannotOpenInput, "", {FileError::Kind::NotFound, 0}));
  }
  // Appending to an input while reading it would read back the lines just written.
  for (const std::string& input : request.inputPaths) {
    if (files.IsSameFile(input, request.outputPath)) {
      return Ended(RunSummary::Outcome::Failed, FileFailure(Failure::Kind::OutputIsInput, request.outputPath));
    }
  }
  if (!format.appendable && request.outputMode == OutputMode::Append) {
    return Ended(RunSummary::Outcome::Failed, FileFailure(Failure::Kind::WorkbookCannotBeAppended, request.outputPath));
  }
  // Refused before any file is made or replaced: a workbook cut to its
  // columns would lose the rest of the list without a word.
  if (request.items.size() > format.mostColumns) {
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

std::string NameWithoutFolder(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
