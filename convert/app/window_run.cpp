#include "app/window_run.h"

#include <algorithm>
#include <optional>

#include "app/messages.h"
#include "app/path_list.h"
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

// The log's line in the end message, if it has one.
std::string WithLog(const std::string& text, const Messages& messages, const RunSummary& summary,
                    const std::string& log) {
  const std::string logged = messages.LogNamed(summary, log);
  return logged.empty() ? text : text + "\n" + logged;
}

// Whether the run may go on with the file chosen, and how: a text file that
// exists is appended to or replaced, a workbook replaced, as the user says.
bool ModeAgreed(RunWindow& window, const Messages& messages, ConversionRequest& request, FileSystem& files) {
  const bool appendable = FormatOf(request.output).appendable;
  // A file that appears after the question is neither appended to nor replaced unasked.
  request.outputMode = appendable ? OutputMode::Append : OutputMode::Replace;
  if (!files.Exists(request.outputPath)) {
    request.outputMode = OutputMode::CreateNew;
    return true;
  }
  if (!appendable) return window.Ask(Question::ReplaceExisting, messages.ReplacePrompt(request.outputPath));
  const RunWindow::ExistingAnswer answer = window.AskAboutExisting(messages.AppendPrompt(request.outputPath));
  if (answer == RunWindow::ExistingAnswer::Replace) request.outputMode = OutputMode::Replace;
  return answer != RunWindow::ExistingAnswer::Cancel;
}

RunSummary ConvertShowing(RunWindow& window, FileSystem& files, const Messages& messages,
                          const ConversionRequest& request, RunWindow::ProgressAnswer& answer) {
  ProgressCaption caption(messages);
  return Convert(request, files, [&](const RunProgress& progress) {
    answer = window.ShowProgress(caption.For(progress), progress);
    return answer == RunWindow::ProgressAnswer::Continue;
  });
}

std::optional<RunSummary> Run(RunWindow& window, FileSystem& files, const WindowRunOptions& options,
                              const Messages& messages) {
  ConversionRequest request;
  request.inputPaths = InputsToStartWith(window, files, messages);
  if (request.inputPaths.empty()) return std::nullopt;

  window.SetBeginEnabled(false);
  window.SaveFieldList();  // saved even when the user goes no further
  window.ShowProgressLabel();
  request.items = ParseFieldList(window.FieldList());

  const std::vector<std::string> unmatchable = ItemsThatCannotMatch(request.items);
  if (!unmatchable.empty() &&
      !window.Ask(Question::ContinueWithEmptyColumns, messages.CannotMatch(unmatchable) + messages.ContinueAnyway())) {
    return Declined(window);
  }
  if (!window.Ask(Question::ConfirmExport, messages.ConfirmPrompt(options.remembered))) return Declined(window);
  const OutputChoice choice =
      window.ChooseOutputProposing(ProposedOutput(request.inputPaths.front(), options.remembered));
  request.outputPath = choice.path;
  if (request.outputPath.empty()) return Declined(window);
  for (const std::string& input : request.inputPaths) {
    if (!files.IsSameFile(input, request.outputPath)) continue;
    RunSummary refused;
    refused.outcome = RunSummary::Outcome::Failed;
    refused.failure = FileFailure(Failure::Kind::OutputIsInput, request.outputPath);
    return ReportFailure(window, messages, std::move(refused));
  }
  // A name ending in .xlsx is a workbook, whatever the type chosen.
  request.output = FormatNamedBy(request.outputPath).value_or(choice.type);
  if (!ModeAgreed(window, messages, request, files)) return Declined(window);
  request.joinSeparator = options.joinSeparator;
  request.header = options.header;
  request.language = options.language;
  request.threads = options.threads;
  const std::string log = Messages::LogOf(request.outputPath);
  request.log = {log, &messages, options.mostLogLines};

  RunWindow::ProgressAnswer answer = RunWindow::ProgressAnswer::Continue;
  RunSummary summary = ConvertShowing(window, files, messages, request, answer);
  // One file never holds two encodings; replacing it is the way out.
  if (summary.outcome == RunSummary::Outcome::Refused && summary.failure.kind == Failure::Kind::MixedEncodings) {
    if (!window.Ask(Question::ReplaceInstead, messages.ReplaceInsteadPrompt(summary.failure))) {
      window.SetBeginEnabled(true);
      return summary;
    }
    request.outputMode = OutputMode::Replace;
    summary = ConvertShowing(window, files, messages, request, answer);
  }
  if (summary.outcome == RunSummary::Outcome::Stopped && answer == RunWindow::ProgressAnswer::Close) return summary;
  const std::string written = summary.loggedProblems > 0 ? log : "";
  if (summary.outcome == RunSummary::Outcome::Stopped) {
    window.TellFinished(Notice::Finished,
                        WithLog(messages.Stopped(summary, request.outputPath), messages, summary, log),
                        summary.replacedNothing ? "" : request.outputPath, written);
  } else if (summary.outcome != RunSummary::Outcome::Completed) {
    window.Tell(Notice::Failed, WithLog(messages.Failed(summary.failure, Work::Conversion), messages, summary, log));
  } else {
    const TextEncoding encoding = FormatOf(request.output).encoding;
    window.TellFinished(EndNotice(summary), messages.Finished(summary, encoding, request.outputPath, log),
                        request.outputPath, written);
  }
  window.SetBeginEnabled(true);
  return summary;
}

}  // namespace

std::vector<std::string> InputsToStartWith(RunWindow& window, FileSystem& files, const Messages& messages) {
  std::vector<std::string> paths = ParsePathList(window.InputPath());
  if (paths.empty()) {
    window.Tell(Notice::NoInputPath, messages.NoInputPath());
    return paths;
  }
  for (const std::string& path : paths) {
    if (files.Exists(path)) continue;
    window.Tell(Notice::InputNotFound, messages.InputNotFound(path));
    return {};
  }
  return paths;
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
