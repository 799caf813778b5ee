#include "window_run.h"

#include <charconv>
#include <cstring>

#include "field_list.h"
#include "run_messages.h"

namespace {

using Question = RunWindow::Question;
using Notice = RunWindow::Notice;

// "正在预读数据，目前已完成3条....." for every record: only the digits change,
// and they are written in place.
class ProgressCaption {
 public:
  const std::string& For(std::int64_t records) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, records).ptr;
    const auto count = static_cast<std::size_t>(end - digits);
    if (count != digitCount_) {
      text_.assign(run_messages::kProgressPrefix);
      text_.append(count, '0');
      text_.append(run_messages::kProgressSuffix);
      digitCount_ = count;
    }
    std::memcpy(text_.data() + std::strlen(run_messages::kProgressPrefix), digits, count);
    return text_;
  }

 private:
  std::string text_;
  std::size_t digitCount_ = 0;
};

RunSummary Ended(RunWindow& window, RunSummary::Outcome outcome) {
  window.SetBeginEnabled(true);
  RunSummary summary;
  summary.outcome = outcome;
  return summary;
}

RunSummary ReportFailure(RunWindow& window, RunSummary summary) {
  window.Tell(Notice::Failed, summary.error);
  window.SetBeginEnabled(true);
  return summary;
}

Notice EndNotice(const RunSummary& summary) {
  const bool nothingRead = summary.records > 0 && summary.malformed == summary.records;
  return nothingRead ? Notice::FinishedWithWarning : Notice::Finished;
}

RunSummary Run(RunWindow& window, FileSystem& files, const WindowRunOptions& options) {
  using namespace run_messages;
  ConversionRequest request;
  request.inputPath = window.InputPath();
  if (request.inputPath.empty() || !files.Exists(request.inputPath)) return {};

  window.SetBeginEnabled(false);
  window.SaveFieldList();  // saved even when the user goes no further
  window.ShowProgressLabel();
  request.items = ParseFieldList(window.FieldList());

  if (!window.Ask(Question::ConfirmExport, kConfirmPrompt)) return Ended(window, RunSummary::Outcome::Declined);
  request.outputPath = window.ChooseOutputFile();
  if (request.outputPath.empty()) return Ended(window, RunSummary::Outcome::Declined);
  if (files.IsSameFile(request.inputPath, request.outputPath)) {
    RunSummary refused;
    refused.outcome = RunSummary::Outcome::Failed;
    refused.error = OutputIsInput(request.outputPath);
    return ReportFailure(window, std::move(refused));
  }
  const bool exists = files.Exists(request.outputPath);
  if (exists && !window.Ask(Question::AppendToExisting, kAppendPrompt)) {
    return Ended(window, RunSummary::Outcome::Declined);
  }
  // A file that appears after the question is not appended to unasked.
  request.outputMode = exists ? OutputMode::Append : OutputMode::CreateNew;
  request.joinSeparator = options.joinSeparator;
  request.outputEncoding = options.outputEncoding;

  ProgressCaption caption;
  RunSummary summary = Convert(request, files, [&](const RunProgress& progress) {
    return window.ShowProgress(caption.For(progress.records), progress);
  });
  if (summary.outcome == RunSummary::Outcome::Stopped) return summary;  // the window is going away
  if (summary.outcome != RunSummary::Outcome::Completed) return ReportFailure(window, std::move(summary));
  window.Tell(EndNotice(summary), Finished(summary, options.outputEncoding));
  window.SetBeginEnabled(true);
  return summary;
}

}  // namespace

RunSummary RunFromWindow(RunWindow& window, FileSystem& files, const WindowRunOptions& options) {
  try {
    return Run(window, files, options);
  } catch (const std::exception& e) {
    // A field list too long for memory, say; the conversion catches its own.
    RunSummary summary;
    summary.outcome = RunSummary::Outcome::Failed;
    summary.error = run_messages::RunBrokeOff(run_messages::Reason(e)) + "。";
    return ReportFailure(window, std::move(summary));
  }
}
