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

// The 001 of a readable record, for finding it in the log; "" otherwise.
std::string_view IdOf(const RecordView& view) {
  std::string_view id;
  if (view.Status() != ViewStatus::Ok) return id;
  field_data::WalkFields(view, [&](std::size_t, std::string_view tag, std::string_view data) {
    if (id.empty() && tag == "001") id = field_data::WithoutFinalTerminators(data);
  });
  return id;
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
    for (file_ = 0; file_ < request_.inputPaths.size(); ++file_) {
      const std::string& path = request_.inputPaths[file_];
      FileError error;
      if (!input) input = files_.OpenForReading(path, error);
      if (!input) return FailReading(table, FileFailure(Failure::Kind::CannotOpenInput, path, error));
      rows_.SetFileName(NameWithoutFolder(path));
      recordsBefore_ = summary_.records;
      const RecordsEnd end = ConvertFile(table, *input);
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

  template <typename Table>
  RecordsEnd ConvertFile(Table& table, InputFile& input) {
    RecordSplitter splitter(input);
    // A file whose size was not known beforehand (a pipe) shows its own progress.
    const std::uint64_t size = knownSize_ ? totalSize_ : input.Size();
    const std::uint64_t before = knownSize_ ? bytesBefore_ : 0;
    const RecordsEnd end = ForEachRecord(
        splitter, [&](std::string_view record) { return !(writeFailed_ = !WriteRow(table, record, splitter)); },
        [&] { return !(writeFailed_ = !WriteEmptyRow(table, splitter.RecordOffset())); },
        [&] {
          return !(stopped_ = progress_ && !progress_({summary_.records, before + splitter.BytesConsumed(), size}));
        });
    bytesBefore_ += splitter.BytesConsumed();
    return end;
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
    summary_.unwritableBeyondBmp = static_cast<std::int64_t>(rows_.WrittenAsTwoMarks());
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

  template <typename Table>
  bool WriteRow(Table& table, std::string_view record, const RecordSplitter& splitter) {
    const RowFacts facts = rows_.Write(table, record);
    CountRecord();
    if (facts.encoding == TextEncoding::Utf8) ++summary_.utf8Records;
    if (facts.unwritable > 0) {
      if (summary_.unwritable == 0) summary_.firstUnwritableRecord = Here();
      summary_.unwritable += static_cast<std::int64_t>(facts.unwritable);
    }
    const std::optional<MalformedKind> malformed = Classify(facts.cellFailed, splitter.CutShort());
    NoteMalformed(malformed, splitter.RecordOffset());
    const bool written = table.EndRow(summary_.records);
    if (facts.overridden) NoteOverride(facts.encoding);
    if (log_.Wanted()) LogRow(table, facts, malformed, splitter.RecordOffset());
    return written;
  }

  // A record too long to hold: one empty cell per column keeps the count of
  // rows and records equal.
  template <typename Table>
  bool WriteEmptyRow(Table& table, std::uint64_t offset) {
    rows_.WriteEmpty(table);
    CountRecord();
    NoteMalformed(MalformedKind::TooLong, offset);
    if (log_.Wanted())
      log_.Note({&request_.inputPaths[file_], Here().number, offset, {}, TextEncoding::Gbk}, {}, ProblemKind::TooLong);
    return table.EndRow(summary_.records);
  }

  // Every problem of the row just written, the record's own first.
  template <typename Table>
  void LogRow(const Table& table, const RowFacts& facts, std::optional<MalformedKind> malformed, std::uint64_t offset) {
    const std::vector<std::uint32_t>& cut = table.CutColumns();
    const std::vector<std::uint32_t>& marked = rows_.UnwritableColumns();
    if (!malformed && !facts.overridden && cut.empty() && marked.empty()) return;
    const RecordView& view = rows_.View();
    const ProblemPlace place{&request_.inputPaths[file_], Here().number, offset, IdOf(view), facts.encoding};
    if (malformed) log_.Note(place, {}, ProblemOf(*malformed));
    if (facts.overridden) {
      log_.Note(place, {},
                facts.encoding == TextEncoding::Utf8 ? ProblemKind::DeclaredGbkReadAsUtf8
                                                     : ProblemKind::DeclaredUtf8ReadAsGbk);
    }
    for (const std::uint32_t column : marked) log_.Note(place, rows_.Codes()[column].item, ProblemKind::WrittenAsMarks);
    for (const std::uint32_t column : cut) log_.Note(place, rows_.Codes()[column].item, ProblemKind::CutValue);
  }

  void NoteOverride(TextEncoding readAs) {
    const bool asUtf8 = readAs == TextEncoding::Utf8;
    std::int64_t& count = asUtf8 ? summary_.gbkReadAsUtf8 : summary_.utf8ReadAsGbk;
    RecordPlace& first = asUtf8 ? summary_.firstGbkReadAsUtf8 : summary_.firstUtf8ReadAsGbk;
    if (count++ == 0) first = Here();
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

std::string NameWithoutFolder(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
