#include "problem_log.h"

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

// Opened at the first problem, so that a run without one makes no file.
bool ProblemLog::Open() {
  FileError error;
  file_ = files_.OpenReplacement(request_.path, true, error);
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
  for (const char c : utf8) buffer_ += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
}

void ProblemLog::Note(const ProblemPlace& place, std::string_view column, ProblemKind kind) {
  if (!Wanted() || failure_) return;
  if (lines_ == request_.mostLines) {
    ++leftOut_;
    return;
  }
  if (!file_ && !Open()) return;
  ++lines_;
  AppendCell(*place.file);
  buffer_ += '\t';
  buffer_ += std::to_string(place.record);
  buffer_ += '\t';
  buffer_ += std::to_string(place.offset);
  buffer_ += '\t';
  cell_.clear();
  const std::string_view id = place.id.substr(0, kLongestId);
  (place.encoding == TextEncoding::Gbk ? fromGbk_ : fromUtf8_).Convert(id, cell_);
  AppendCell(cell_);
  buffer_ += '\t';
  AppendCell(column);
  buffer_ += '\t';
  AppendCell(request_.words->LogReason(kind, output_));
  buffer_ += "\r\n";
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
