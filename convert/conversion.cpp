#include "conversion.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <optional>

#include "field_code.h"
#include "field_extractor.h"
#include "field_list.h"
#include "line_buffer.h"
#include "record_splitter.h"
#include "record_type.h"
#include "record_view.h"
#include "recoder.h"
#include "run_messages.h"

namespace {

constexpr std::size_t kOutputFlushSize = 1 << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

// Opens the files and turns every record into one line.
class Converter {
 public:
  Converter(const ConversionRequest& request, FileSystem& files, const ProgressCallback& progress)
      : files_(files),
        progress_(progress),
        inputPath_(request.inputPath),
        outputPath_(request.outputPath),
        mode_(request.outputMode),
        outputEncoding_(request.outputEncoding),
        typeNames_(request.outputEncoding),
        extractor_(PrepareCodes(request.items), typeNames_),
        separator_(ForOutput(request.joinSeparator, request.outputEncoding)),
        fromGbk_(TextEncoding::Gbk, request.outputEncoding),
        fromUtf8_(TextEncoding::Utf8, request.outputEncoding),
        filled_(extractor_.Columns(), 0) {}

  RunSummary Run() {
    FileError error;
    std::unique_ptr<InputFile> input = files_.OpenForReading(inputPath_, error);
    if (!input) return Fail(run_messages::CannotOpenInput(inputPath_, error), error);
    output_ = files_.OpenOutput(outputPath_, mode_, error);
    if (!output_) return Fail(run_messages::CannotCreateOutput(outputPath_, error), error);
    committed_ = output_->SizeBefore();
    if (const std::optional<std::string> refusal = MatchEncoding()) {
      output_->Close();
      summary_.outcome = RunSummary::Outcome::Refused;
      summary_.error = *refusal;
      return summary_;
    }
    EndTornLine();
    try {
      return Convert(*input);
    } catch (const std::exception& e) {
      return BreakOff(run_messages::Reason(e));
    }
  }

 private:
  // One file never mixes two encodings: UTF-8 output begins a new or empty
  // file with a byte order mark (Excel reads it as UTF-8 then) and goes only
  // where one is; GBK output never goes after one. The refusal, if any.
  std::optional<std::string> MatchEncoding() {
    const std::optional<std::string> first = output_->FirstBytes();
    const bool utf8 = outputEncoding_ == TextEncoding::Utf8;
    if (!first) {
      // A file one may write but not read could hold either encoding.
      if (output_->Created()) return std::nullopt;
      return run_messages::EncodingUnknown(outputPath_);
    }
    const bool marked = first->compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
    if (!first->empty() && marked != utf8) return run_messages::MixedEncodings(outputPath_, outputEncoding_);
    if (utf8 && first->empty()) {
      buffer_.Reserve(kByteOrderMark.size());
      buffer_.Append(kByteOrderMark);
    }
    return std::nullopt;
  }

  // A file that ends inside a line (an earlier run killed, or a disk that
  // filled under another program) gets its line ended first, so that its
  // last row never swallows this run's header.
  void EndTornLine() {
    const std::optional<std::string> last = output_->LastBytes();
    if (!last || last->empty() || last->back() == '\n') return;
    if (output_->SizeBefore() == kByteOrderMark.size() && *last == kByteOrderMark) return;  // only the mark
    buffer_.Reserve(2);
    buffer_.Append(last->back() == '\r' ? "\n" : "\r\n");
  }

  RunSummary Convert(InputFile& input) {
    WriteHeader();
    RecordSplitter splitter(input);
    const std::uint64_t inputSize = input.Size();
    std::string_view record;
    for (;;) {
      const RecordSplitter::Result result = splitter.Next(record);
      if (result == RecordSplitter::Result::End) break;
      if (result == RecordSplitter::Result::Record) WriteRow(record, splitter);
      if (result == RecordSplitter::Result::TooLong) WriteEmptyRow(splitter.RecordOffset());
      if (buffer_.Size() >= kOutputFlushSize && !Flush()) return FailWriting();
      if (progress_ && !progress_({summary_.records, splitter.BytesConsumed(), inputSize})) {
        summary_.outcome = RunSummary::Outcome::Stopped;
        NoteEmptyColumns();
        if (!Flush() || !output_->Close()) return FailWriting();
        return summary_;
      }
    }
    if (splitter.ReadFailed()) {
      // The records converted before the error stay.
      if (!Flush()) return FailWriting();
      const std::int64_t kept = CutBackToWholeLines();
      return Fail(run_messages::CannotReadInput(inputPath_, input.Error()) + run_messages::KeptRecords(kept),
                  input.Error());
    }
    summary_.unwritableBeyondBmp = static_cast<std::int64_t>(fromUtf8_.WrittenAsTwoMarks());
    if (!Flush()) return FailWriting();
    if (!output_->Close()) return FailWriting();
    // The line breaks after the last record are read only now: the whole input.
    if (progress_) progress_({summary_.records, splitter.BytesConsumed(), inputSize});
    summary_.outcome = RunSummary::Outcome::Completed;
    NoteEmptyColumns();
    return summary_;
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
  void WriteHeader() {
    for (const FieldCode& code : extractor_.Codes()) {
      const std::string header = ForOutput(code.item, outputEncoding_);
      buffer_.Reserve(header.size() + 1);
      buffer_.Append(header);
      buffer_.Append('\t');
    }
    buffer_.EndLine();
  }

  void WriteRow(std::string_view record, const RecordSplitter& splitter) {
    view_.Build(record);
    extractor_.Read(view_);
    // Tabs are rare in records: when the record has none, no value needs
    // looking at for them.
    const bool recordHasTabs = !record.empty() && std::memchr(record.data(), '\t', record.size()) != nullptr;
    const TextEncoding encoding = extractor_.Encoding();
    if (encoding == TextEncoding::Utf8) ++summary_.utf8Records;
    if (extractor_.Decision().Overridden()) NoteOverride(encoding);
    // GBK records in GBK output, nearly every one, pass through as they are.
    recoder_ = encoding == TextEncoding::Gbk ? (outputEncoding_ == TextEncoding::Gbk ? nullptr : &fromGbk_) : &fromUtf8_;
    bool cellFailed = false;
    std::string_view value;
    const std::size_t columns = extractor_.Columns();
    for (std::size_t column = 0; column < columns; ++column) {
      if (extractor_.IsJoined(column)) {
        const std::vector<std::string_view>& occurrences = extractor_.Occurrences(column);
        filled_[column] |= !occurrences.empty();
        WriteJoined(occurrences, recordHasTabs);
        buffer_.Reserve(1);
      } else if (extractor_.Value(column, value)) {
        filled_[column] |= !value.empty();
        // The names of record types are written in the output's encoding already.
        if (recoder_ != nullptr && !extractor_.IsRecordType(column)) value = Recode(value);
        WriteCell(value, recordHasTabs);
      } else {
        cellFailed = true;  // an empty cell keeps the columns aligned
        buffer_.Reserve(1);
      }
      buffer_.Append('\t');
    }
    buffer_.EndLine();
    ++summary_.records;
    NoteMalformed(Classify(cellFailed, splitter.CutShort()), splitter.RecordOffset());
  }

  // Writes a value, with room to spare for the tab that ends its cell.
  void WriteCell(std::string_view value, bool mayHoldTabs) {
    buffer_.Reserve(value.size() + 1);
    if (mayHoldTabs) {
      buffer_.AppendWithoutTabs(value);
    } else {
      buffer_.Append(value);
    }
  }

  void WriteJoined(const std::vector<std::string_view>& occurrences, bool mayHoldTabs) {
    for (std::size_t i = 0; i < occurrences.size(); ++i) {
      if (i > 0) WriteCell(separator_, false);
      WriteCell(Recode(occurrences[i]), mayHoldTabs);
    }
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
  // lines and records equal.
  void WriteEmptyRow(std::uint64_t offset) {
    buffer_.Reserve(extractor_.Columns());
    for (std::size_t column = 0; column < extractor_.Columns(); ++column) buffer_.Append('\t');
    buffer_.EndLine();
    ++summary_.records;
    NoteMalformed(MalformedKind::TooLong, offset);
  }

  // What was wrong with the record just written, if anything; the first
  // thing that went wrong names it.
  std::optional<MalformedKind> Classify(bool cellFailed, bool cutShort) const {
    if (view_.Status() == ViewStatus::Refused) return MalformedKind::Refused;
    if (view_.Status() == ViewStatus::Failed) return MalformedKind::Unreadable;
    if (cellFailed || extractor_.HadBadEntry()) return MalformedKind::BadCell;
    if (extractor_.FieldsOverlap()) return MalformedKind::FieldsOverlap;
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

  // Writes the complete lines gathered so far. The file then ends with a
  // whole line again.
  bool Flush() {
    const std::string_view lines = buffer_.Lines();
    if (lines.empty()) return true;
    if (!output_->Write(lines.data(), lines.size())) return false;
    committed_ += lines.size();
    keptRecords_ = summary_.records;
    buffer_.Clear();
    return true;
  }

  // After a failure the output keeps the whole lines of the records written
  // so far, whatever a write left after them; with no record kept it is as
  // it was before the run, and a file this run created goes again (the next
  // run would take it for someone's file). Returns the records kept.
  std::int64_t CutBackToWholeLines() {
    if (keptRecords_ == 0 && output_->Created()) {
      output_->Discard();
      return 0;
    }
    output_->Truncate(keptRecords_ > 0 ? committed_ : output_->SizeBefore());
    output_->Close();
    return keptRecords_;
  }

  // Something went wrong inside the run (memory ran out): the lines
  // converted so far are kept.
  RunSummary BreakOff(const std::string& reason) {
    if (!Flush()) return FailWriting();
    const std::int64_t kept = CutBackToWholeLines();
    return Fail(run_messages::RunBrokeOff(reason) + run_messages::KeptRecords(kept));
  }

  RunSummary FailWriting() {
    const FileError error = output_->Error();
    const std::int64_t kept = CutBackToWholeLines();
    return Fail(run_messages::CannotWriteOutput(outputPath_, error) + run_messages::KeptRecords(kept), error);
  }

  RunSummary Fail(std::string message, const FileError& error = {}) {
    summary_.outcome = RunSummary::Outcome::Failed;
    summary_.error = std::move(message);
    summary_.fileError = error;
    return summary_;
  }

  FileSystem& files_;
  const ProgressCallback& progress_;
  std::string inputPath_;
  std::string outputPath_;
  OutputMode mode_;
  TextEncoding outputEncoding_;
  RecordTypeNames typeNames_;
  FieldExtractor extractor_;
  std::string separator_;  // in the output's encoding
  Recoder fromGbk_;
  Recoder fromUtf8_;
  Recoder* recoder_ = nullptr;  // for the record being written; null when its bytes pass through
  std::string recoded_;
  std::unique_ptr<OutputFile> output_;
  std::uint64_t committed_ = 0;    // the output's size up to the last whole line written
  std::int64_t keptRecords_ = 0;  // records whose lines are in the output
  LineBuffer buffer_;
  RecordView view_;
  std::vector<char> filled_;  // per column: whether any record gave it a value
  RunSummary summary_;
};

RunSummary Failed(std::string message) {
  RunSummary summary;
  summary.outcome = RunSummary::Outcome::Failed;
  summary.error = std::move(message);
  return summary;
}

}  // namespace

RunSummary Convert(const ConversionRequest& request, FileSystem& files, const ProgressCallback& progress) {
  // Appending to the input while reading it would read back the lines just written.
  if (files.IsSameFile(request.inputPath, request.outputPath)) {
    return Failed(run_messages::OutputIsInput(request.outputPath));
  }
  try {
    return Converter(request, files, progress).Run();
  } catch (const std::exception& e) {
    // Before any file was opened (a field list too long for memory, say).
    return Failed(run_messages::RunBrokeOff(run_messages::Reason(e)) + "。");
  }
}
