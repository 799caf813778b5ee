#include "conversion_run.h"

#include <charconv>
#include <cstring>
#include <memory>

#include "field_code.h"
#include "field_extractor.h"
#include "field_list.h"
#include "line_buffer.h"
#include "record_splitter.h"
#include "record_view.h"
#include "run_messages.h"

namespace {

constexpr std::size_t kOutputFlushSize = 1 << 20;
constexpr std::size_t kLongestRecordTypeName = 32;  // GBK bytes; the longest has 8 characters

std::vector<FieldCode> PrepareCodes(const std::vector<std::string>& items) {
  std::vector<FieldCode> codes;
  for (const std::string& item : items) codes.push_back(ParseFieldCode(item));
  return codes;
}

class ProgressCaption {
 public:
  const std::string& For(std::int64_t records) {
    text_.assign(run_messages::kProgressPrefix);
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, records);
    text_.append(digits, result.ptr);
    text_.append(run_messages::kProgressSuffix);
    return text_;
  }

 private:
  std::string text_;
};

// Steps 9 to 12: the files are opened, every record becomes one line.
class Converter {
 public:
  Converter(RunWindow& window, FileSystem& files, std::string inputPath, std::string outputPath,
            const std::vector<std::string>& items)
      : window_(window),
        files_(files),
        inputPath_(std::move(inputPath)),
        outputPath_(std::move(outputPath)),
        codes_(PrepareCodes(items)),
        extractor_(codes_) {}

  RunSummary Run() {
    int errorNumber = 0;
    std::unique_ptr<InputFile> input = files_.OpenForReading(inputPath_, errorNumber);
    if (!input) return Fail(run_messages::CannotOpenInput(inputPath_, errorNumber));
    output_ = files_.OpenForAppending(outputPath_, errorNumber);
    if (!output_) return Fail(run_messages::CannotCreateOutput(outputPath_, errorNumber));

    WriteHeader();
    RecordSplitter splitter(*input);
    std::string_view record;
    while (splitter.Next(record)) {
      WriteRow(record, splitter.RecordOffset());
      if (buffer_.Size() >= kOutputFlushSize && !Flush()) return FailWriting();
      progress_.records = summary_.records;
      progress_.bytesRead = splitter.BytesConsumed();
      if (!window_.ShowProgress(caption_.For(summary_.records), progress_)) {
        summary_.outcome = RunSummary::Outcome::Stopped;
        if (!Flush() || !output_->Close()) return FailWriting();
        return summary_;
      }
    }
    if (!Flush()) return FailWriting();
    if (splitter.ReadFailed()) {
      output_->Close();
      return Fail(run_messages::CannotReadInput(inputPath_, input->ErrorNumber()));
    }
    if (!output_->Close()) return FailWriting();
    summary_.outcome = RunSummary::Outcome::Completed;
    return summary_;
  }

 private:
  void WriteHeader() {
    for (const FieldCode& code : codes_) {
      buffer_.Reserve(code.header.size() + 1);
      buffer_.Append(code.header);
      buffer_.Append('\t');
    }
    buffer_.Reserve(2);
    buffer_.Append("\r\n");
  }

  void WriteRow(std::string_view record, std::uint64_t offset) {
    view_.Build(record);
    extractor_.Read(view_);
    // Every value is a piece of the record or a record type's name; the same
    // field may fill several columns.
    buffer_.Reserve(extractor_.Columns() * (record.size() + kLongestRecordTypeName + 1) + 2);
    // Tabs are rare in records: when the record has none, no value needs
    // looking at for them.
    const bool recordHasTabs = !record.empty() && std::memchr(record.data(), '\t', record.size()) != nullptr;
    bool cellFailed = false;
    std::string_view value;
    for (std::size_t column = 0; column < extractor_.Columns(); ++column) {
      if (extractor_.Value(column, value)) {
        if (recordHasTabs) {
          buffer_.AppendWithoutTabs(value);
        } else {
          buffer_.Append(value);
        }
      } else {
        cellFailed = true;  // an empty cell keeps the columns aligned
      }
      buffer_.Append('\t');
    }
    buffer_.Append("\r\n");
    ++summary_.records;
    NoteMalformed(cellFailed, offset);
  }

  void NoteMalformed(bool cellFailed, std::uint64_t offset) {
    MalformedKind kind;
    if (view_.Status() == ViewStatus::Refused) {
      kind = MalformedKind::Refused;
    } else if (view_.Status() == ViewStatus::Failed) {
      kind = MalformedKind::Unreadable;
    } else if (cellFailed) {
      kind = MalformedKind::BadCell;
    } else {
      return;
    }
    ++summary_.malformed;
    if (summary_.firstMalformed.size() < kMalformedRecordsKept) {
      summary_.firstMalformed.push_back({summary_.records, offset, kind});
    }
  }

  bool Flush() {
    if (buffer_.Size() == 0) return true;
    const bool written = output_->Write(buffer_.Data(), buffer_.Size());
    buffer_.Clear();
    return written;
  }

  RunSummary FailWriting() {
    const int errorNumber = output_->ErrorNumber();
    output_->Close();
    return Fail(run_messages::CannotWriteOutput(outputPath_, errorNumber));
  }

  RunSummary Fail(std::string message) {
    summary_.outcome = RunSummary::Outcome::Failed;
    summary_.error = std::move(message);
    return summary_;
  }

  RunWindow& window_;
  FileSystem& files_;
  std::string inputPath_;
  std::string outputPath_;
  std::vector<FieldCode> codes_;
  std::unique_ptr<OutputFile> output_;
  LineBuffer buffer_;
  RecordView view_;
  FieldExtractor extractor_;
  ProgressCaption caption_;
  RunProgress progress_;
  RunSummary summary_;
};

// A path pasted from Explorer's "Copy as path" comes in double quotes, and a
// pasted path often brings blanks along: neither is part of the name.
std::string CleanPath(std::string path) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!path.empty() && blank(path.back())) path.pop_back();
  std::size_t first = 0;
  while (first < path.size() && blank(path[first])) ++first;
  path.erase(0, first);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  return path;
}

RunSummary Declined(RunWindow& window) {
  window.SetStartEnabled(true);
  RunSummary summary;
  summary.outcome = RunSummary::Outcome::Declined;
  return summary;
}

// Ends the run with an error box before any file is opened.
RunSummary Refuse(RunWindow& window, std::string message) {
  RunSummary summary;
  summary.outcome = RunSummary::Outcome::Failed;
  summary.error = std::move(message);
  window.ShowMessage(summary.error, kStyleError, run_messages::kNoticeTitle);
  window.SetStartEnabled(true);
  return summary;
}

}  // namespace

RunSummary RunConversion(RunWindow& window, FileSystem& files) {
  using namespace run_messages;
  const std::string inputPath = CleanPath(window.InputPathText());
  if (inputPath.empty() || !files.Exists(inputPath)) return {};

  window.SetStartEnabled(false);
  window.FieldListSetting("write");  // saved even when the user goes no further
  window.ShowProgressLabel();
  const std::vector<std::string> items = ParseFieldList(window.FieldListText());

  if (window.AskYesNo(kConfirmPrompt, kStyleConfirm, kConfirmTitle) == Answer::No) return Declined(window);
  const std::string outputPath = window.ChooseSaveFile();
  if (outputPath.empty()) return Declined(window);
  if (files.IsSameFile(inputPath, outputPath)) return Refuse(window, OutputIsInput(outputPath));
  if (files.Exists(outputPath) && window.AskYesNo(kAppendPrompt, kStyleAskAppend, kNoticeTitle) == Answer::No) {
    return Declined(window);
  }

  RunSummary summary = Converter(window, files, inputPath, outputPath, items).Run();
  if (summary.outcome == RunSummary::Outcome::Stopped) return summary;  // the window is going away
  if (summary.outcome == RunSummary::Outcome::Failed) {
    window.ShowMessage(summary.error, kStyleError, kNoticeTitle);
  } else {
    window.ShowMessage(kFinishedPrompt, kStyleInformation, kNoticeTitle);
  }
  window.SetStartEnabled(true);
  return summary;
}
