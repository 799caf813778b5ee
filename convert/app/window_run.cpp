#include "app/window_run.h"

#include <algorithm>
#include <optional>

#include "app/messages.h"
#include "marc/field_list.h"

namespace {

using Question = RunWindow::Question;
using Notice = RunWindow::Notice;

// The records converted for every record, with the share of the input
// after it when its size is known.
class ProgressCaption {
 public:
  explicit ProgressCaption(const Messages& messages) : messages_(messages) {}

  const std::string& For(const RunProgress& progress) {
    text_.clear();
    const int percent =
        progress.inputSize == 0
            ? -1
            : static_cast<int>(std::min(progress.bytesRead, progress.inputSize) * 100 / progress.inputSize);
    messages_.AppendProgress(text_, progress.records, percent);
    return text_;
  }

 private:
  const Messages& messages_;
  std::string text_;  // kept, so that its memory is
};

// The user said No, or cancelled the save dialog: no run.
std::optional<RunSummary> Declined(RunWindow& window) {
  window.SetBeginEnabled(true);
  return std::nullopt;
}

RunSummary ReportFailure(RunWindow& window, const Messages& messages, RunSummary summary) {
  window.Tell(Notice::Failed, messages.Failed(summary.failure, Work::Conversion));
  window.SetBeginEnabled(true);
  return summary;
}

Notice EndNotice(const RunSummary& summary) {
  const bool nothingRead = summary.records > 0 && summary.malformed == summary.records;
  return nothingRead ? Notice::FinishedWithWarning : Notice::Finished;
}

std::optional<RunSummary> Run(RunWindow& window, FileSystem& files, const WindowRunOptions& options,
                              const Messages& messages) {
  ConversionRequest request;
  request.inputPath = InputToStartWith(window, files, messages);
  if (request.inputPath.empty()) return std::nullopt;

  window.SetBeginEnabled(false);
  window.SaveFieldList();  // saved even when the user goes no further
  window.ShowProgressLabel();
  request.items = ParseFieldList(window.FieldList());

  const std::vector<std::string> unmatchable = ItemsThatCannotMatch(request.items);
  if (!unmatchable.empty() &&
      !window.Ask(Question::ContinueWithEmptyColumns, messages.CannotMatch(unmatchable) + messages.ContinueAnyway())) {
    return Declined(window);
  }
  if (!window.Ask(Question::ConfirmExport, messages.ConfirmPrompt())) return Declined(window);
  const OutputChoice choice = window.ChooseOutputFile();
  request.outputPath = choice.path;
  if (request.outputPath.empty()) return Declined(window);
  if (files.IsSameFile(request.inputPath, request.outputPath)) {
    RunSummary refused;
    refused.outcome = RunSummary::Outcome::Failed;
    refused.failure = FileFailure(Failure::Kind::OutputIsInput, request.outputPath);
    return ReportFailure(window, messages, std::move(refused));
  }
  // A name ending in .xlsx is a workbook, whatever the type chosen.
  request.output = FormatNamedBy(request.outputPath).value_or(choice.type);
  const bool appendable = FormatOf(request.output).appendable;
  const bool exists = files.Exists(request.outputPath);
  if (exists && !(appendable ? window.Ask(Question::AppendToExisting, messages.AppendPrompt())
                             : window.Ask(Question::ReplaceExisting, messages.ReplacePrompt()))) {
    return Declined(window);
  }
  // A file that appears after the question is neither appended to nor replaced unasked.
  request.outputMode = !exists ? OutputMode::CreateNew : appendable ? OutputMode::Append : OutputMode::Replace;
  request.joinSeparator = options.joinSeparator;
  request.header = options.header;
  request.language = options.language;

  ProgressCaption caption(messages);
  RunWindow::ProgressAnswer answer = RunWindow::ProgressAnswer::Continue;
  RunSummary summary = Convert(request, files, [&](const RunProgress& progress) {
    answer = window.ShowProgress(caption.For(progress), progress);
    return answer == RunWindow::ProgressAnswer::Continue;
  });
  if (summary.outcome == RunSummary::Outcome::Stopped && answer == RunWindow::ProgressAnswer::Close) return summary;
  if (summary.outcome == RunSummary::Outcome::Stopped) {
    window.Tell(Notice::Finished, messages.Stopped(summary, request.outputPath));
  } else if (summary.outcome != RunSummary::Outcome::Completed) {
    return ReportFailure(window, messages, std::move(summary));
  } else {
    const TextEncoding written = FormatOf(request.output).encoding;
    window.Tell(EndNotice(summary), messages.Finished(summary, written, request.outputPath));
  }
  window.SetBeginEnabled(true);
  return summary;
}

}  // namespace

std::string InputToStartWith(RunWindow& window, FileSystem& files, const Messages& messages) {
  std::string path = window.InputPath();
  if (path.empty()) {
    window.Tell(Notice::NoInputPath, messages.NoInputPath());
  } else if (!files.Exists(path)) {
    window.Tell(Notice::InputNotFound, messages.InputNotFound(path));
  } else {
    return path;
  }
  return {};
}

std::optional<RunSummary> RunFromWindow(RunWindow& window, FileSystem& files, const WindowRunOptions& options) {
  const Messages messages(options.language);
  try {
    return Run(window, files, options, messages);
  } catch (const std::exception& e) {
    // A field list too long for memory, say; the conversion catches its own.
    RunSummary summary;
    summary.outcome = RunSummary::Outcome::Failed;
    summary.failure = FailureOf(e);
    return ReportFailure(window, messages, std::move(summary));
  }
}
