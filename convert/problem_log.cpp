#include "problem_log.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kFlushSize = 1 << 20;
// An identifier of a damaged record can be anything up to the record's size:
// the log keeps its beginning.
constexpr std::size_t kLongestId = 64;
}  // namespace

ProblemLog::ProblemLog(FileSystem& files, const ProblemLogRequest& request, TextEncoding output)
    : files_(files),
      request_(request),
      output_(output),
      fromGbk_(TextEncoding::Gbk, TextEncoding::Utf8),
      fromUtf8_(TextEncoding::Utf8, TextEncoding::Utf8) {}

// Opened at the first problem, so that a run without one makes no file. A
// log is written in place, as it goes: put in place whole, it would be
// flushed to the disk first, which costs a log of a million lines more than
// the run itself.
bool ProblemLog::Open() {
  FileError error;
  if (files_.Remove(request_.path, error)) file_ = files_.OpenOutput(request_.path, OutputMode::CreateNew, error);
  if (!file_) {
    Fail(error);
    return false;
  }
  buffer_ = kByteOrderMark;
  for (const std::string& cell : request_.words->LogHeader()) {
    if (buffer_.size() > kByteOrderMark.size()) buffer_ += '\t';
    AppendCell(cell);
  }
  buffer_ += "\r\n";
  return true;
}

void ProblemLog::Fail(const FileError& error) {
  failure_ = FileFailure(Failure::Kind::CannotWriteLog, request_.path, error);
  if (file_) file_->Discard();
  file_.reset();
  buffer_.clear();
}

// A cell's tabs and line breaks would split it: they become blanks.
void ProblemLog::AppendCell(std::string_view utf8) {
  if (utf8.find_first_of("\t\r\n") == std::string_view::npos) {
    buffer_.append(utf8.data(), utf8.size());
    return;
  }
  for (const char c : utf8) buffer_ += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
}

// Nearly every 001 is a few ASCII letters and digits, which go as they are.
void ProblemLog::AppendId(const ProblemPlace& place) {
  const std::string_view id = place.id.substr(0, kLongestId);
  const bool plain = std::all_of(id.begin(), id.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
  if (plain) {
    buffer_.append(id.data(), id.size());
    return;
  }
  cell_.clear();
  (place.encoding == TextEncoding::Gbk ? fromGbk_ : fromUtf8_).Convert(id, cell_);
  AppendCell(cell_);
}

// The end of a line: a tab, the reason and the line break.
const std::string& ProblemLog::Reason(ProblemKind kind) {
  std::string& reason = reasons_[static_cast<std::size_t>(kind)];
  if (reason.empty()) {
    reason = '\t';
    for (const char c : request_.words->LogReason(kind, output_))
      reason += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
    reason += "\r\n";
  }
  return reason;
}

// A million lines are made here: each is a few appends of whole pieces.
void ProblemLog::Note(const ProblemPlace& place, std::string_view column, ProblemKind kind) {
  if (!Wanted() || failure_) return;
  if (lines_ == request_.mostLines) {
    ++leftOut_;
    return;
  }
  if (!file_ && !Open()) return;
  ++lines_;
  if (place.file != lastFile_) {
    lastFile_ = place.file;
    fileCell_.clear();
    for (const char c : *place.file) fileCell_ += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
    fileCell_ += '\t';
  }
  buffer_.append(fileCell_);
  // Two numbers of at most 20 digits, each followed by a tab.
  char numbers[48];
  char* at = std::to_chars(numbers, numbers + 20, place.record).ptr;
  *at++ = '\t';
  at = std::to_chars(at, at + 20, place.offset).ptr;
  *at++ = '\t';
  buffer_.append(numbers, at);
  AppendId(place);
  buffer_ += '\t';
  AppendCell(column);
  buffer_.append(Reason(kind));
  if (buffer_.size() >= kFlushSize) Flush();
}

bool ProblemLog::Flush() {
  if (!file_->Write(buffer_.data(), buffer_.size())) {
    Fail(file_->Error());
    return false;
  }
  buffer_.clear();
  return true;
}

ProblemLog::Outcome ProblemLog::Finish() {
  Outcome outcome;
  if (!Wanted()) return outcome;
  if (!file_ && !failure_) {
    // Nothing to log: a log an earlier run left must not seem to be this one's.
    FileError error;
    if (!files_.Remove(request_.path, error))
      failure_ = FileFailure(Failure::Kind::CannotWriteLog, request_.path, error);
    outcome.failure = failure_;
    return outcome;
  }
  if (file_ && leftOut_ > 0) {
    AppendCell(request_.words->LogCutShort(lines_, leftOut_));
    buffer_ += "\r\n";
  }
  if (file_ && Flush() && !file_->Close()) Fail(file_->Error());
  outcome.lines = failure_ ? 0 : lines_;
  outcome.cutShort = leftOut_ > 0;
  outcome.failure = failure_;
  return outcome;
}
