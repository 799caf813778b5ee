#include "window_run.h"

#include <algorithm>
#include <charconv>

#include "field_list.h"
#include "run_messages.h"

namespace {

using Question = RunWindow::Question;
using Notice = RunWindow::Notice;

// "正在预读数据，目前已完成3条....." for every record, with "（45%）" of the
// input after it when its size is known.
class ProgressCaption {
 public:
  const std::string& For(const RunProgress& progress) {
    text_.assign(run_messages::kProgressPrefix);
    AppendNumber(progress.records);
    text_.append(run_messages::kProgressSuffix);
    if (progress.inputSize > 0) {
      text_.append("（");
      AppendNumber(static_cast<std::int64_t>(std::min<std::uint64_t>(progress.bytesRead, progress.inputSize) * 100 /
                                             progress.inputSize));
      text_.append("%）");
    }
    return text_;
  }

 private:
  void AppendNumber(std::int64_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    text_.append(digits, end);
  }

  std::string text_;  // kept, so that its memory is
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

// The input path typed or chosen, or "" after telling the user there is
// none to start with.
std::string InputToStartWith(RunWindow& window, FileSystem& files) {
  std::string path = window.InputPath();
  if (path.empty()) {
    window.Tell(Notice::NoInputPath, run_messages::kNoInputPath);
  } else if (!files.Exists(path)) {
    window.Tell(Notice::InputNotFound, run_messages::InputNotFound(path));
  } else {
    return path;
  }
  return {};
}

RunSummary Run(RunWindow& window, FileSystem& files, const WindowRunOptions& options) {
  using namespace run_messages;
  ConversionRequest request;
  request.inputPath = InputToStartWith(window, files);
  if (request.inputPath.empty()) return {};

  window.SetBeginEnabled(false);
  window.SaveFieldList();  // saved even when the user goes no further
  window.ShowProgressLabel();
  request.items = ParseFieldList(window.FieldList());

  const std::vector<std::string> unmatchable = ItemsThatCannotMatch(request.items);
  if (!unmatchable.empty() &&
      !window.Ask(Question::ContinueWithEmptyColumns, CannotMatch(unmatchable) + kContinueAnyway)) {
    return Ended(window, RunSummary::Outcome::Declined);
  }
  if (!window.Ask(Question::ConfirmExport, kConfirmPrompt)) return Ended(window, RunSummary::Outcome::Declined);
  const OutputChoice choice = window.ChooseOutputFile();
  request.outputPath = choice.path;
  if (request.outputPath.empty()) return Ended(window, RunSummary::Outcome::Declined);
  if (files.IsSameFile(request.inputPath, request.outputPath)) {
    RunSummary refused;
    refused.outcome = RunSummary::Outcome::Failed;
    refused.error = OutputIsInput(request.outputPath);
    return ReportFailure(window, std::move(refused));
  }
  // A name ending in .xlsx is a workbook, whatever the type chosen.
  const bool workbook = choice.type == OutputType::Workbook || NamesWorkbook(request.outputPath);
  const bool exists = files.Exists(request.outputPath);
  if (exists && !(workbook ? window.Ask(Question::ReplaceExisting, kReplacePrompt)
                           : window.Ask(Question::AppendToExisting, kAppendPrompt))) {
    return Ended(window, RunSummary::Outcome::Declined);
  }
  // A file that appears after the question is neither appended to nor replaced unasked.
  request.format = workbook ? TableFormat::Workbook : TableFormat::Text;
  request.outputMode = !exists ? OutputMode::CreateNew : workbook ? OutputMode::Replace : OutputMode::Append;
  request.outputEncoding = choice.type == OutputType::Utf8Text ? TextEncoding::Utf8 : TextEncoding::Gbk;
  request.joinSeparator = options.joinSeparator;

  ProgressCaption caption;
  RunWindow::ProgressAnswer answer = RunWindow::ProgressAnswer::Continue;
  RunSummary summary = Convert(request, files, [&](const RunProgress& progress) {
    answer = window.ShowProgress(caption.For(progress), progress);
    return answer == RunWindow::ProgressAnswer::Continue;
  });
  if (summary.outcome == RunSummary::Outcome::Stopped && answer == RunWindow::ProgressAnswer::Close) return summary;
  if (summary.outcome == RunSummary::Outcome::Stopped) {
    window.Tell(Notice::Finished, Stopped(summary, request.outputPath));
  } else if (summary.outcome != RunSummary::Outcome::Completed) {
    return ReportFailure(window, std::move(summary));
  } else {
    const TextEncoding written = workbook ? TextEncoding::Utf8 : request.outputEncoding;
    window.Tell(EndNotice(summary), Finished(summary, written, request.outputPath));
  }
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
