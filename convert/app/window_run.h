#pragma once
// The conversion as the main window runs it when Begin is pressed: check the
// input path, save the field list, ask, let the user choose the output file,
// convert with the progress on the label, and end with a message. It reaches
// the window only through RunWindow, whose questions and notices say what
// they are about; how they look (icons, titles, buttons) is the window's.
// All texts are UTF-8.
#include <optional>
#include <string>
#include <vector>

#include "app/messages.h"
#include "conversion.h"
#include "file_system.h"
#include "text/language.h"

struct OutputChoice {
  std::string path;  // "" when the user cancelled
  OutputType type = OutputType::GbkText;
};

class RunWindow {
 public:
  enum class Question {
    ContinueWithEmptyColumns,  // some items can never give a value; No returns to editing
    ConfirmExport,             // before anything is written
    AppendToExisting,          // the chosen text file exists; No is the safe answer
    ReplaceExisting,           // the chosen workbook exists; No is the safe answer
    ReplaceInstead,            // the text file holds the other encoding; No leaves it
  };
  // The chosen text file exists.
  enum class ExistingAnswer { Append, Replace, Cancel };
  enum class Notice {
    NoInputPath,          // the input path box is empty: the user is sent back to it
    InputNotFound,        // no file at the path typed
    Finished,             // the run completed, or the user stopped it
    FinishedWithWarning,  // completed, but no record could be read in full
    Failed,               // a file failed or the run broke off; the text says why
  };
  enum class ProgressAnswer {
    Continue,
    Stop,   // the user asked to stop: the lines so far are kept, and the end message says so
    Close,  // the window is being closed: the run ends at a line boundary, without a word
  };

  virtual ~RunWindow() = default;

  virtual std::string InputPath() = 0;  // as typed or chosen
  virtual std::string FieldList() = 0;  // the list box's whole text
  virtual void SetBeginEnabled(bool enabled) = 0;
  virtual void ShowProgressLabel() = 0;
  // Sets the progress label's caption and lets pending window events run,
  // and says whether the run is to go on.
  virtual ProgressAnswer ShowProgress(const std::string& caption, const RunProgress& progress) = 0;
  // True for Yes.
  virtual bool Ask(Question question, const std::string& prompt) = 0;
  virtual void Tell(Notice notice, const std::string& text) = 0;
  virtual OutputChoice ChooseOutputFile() = 0;
  // Keeps the list box's text for the next start.
  virtual void SaveFieldList() = 0;

  // The save dialog, proposing `proposed` (see ProposedOutput).
  virtual OutputChoice ChooseOutputProposing(const std::string& proposed) {
    (void)proposed;
    return ChooseOutputFile();
  }
  // The chosen text file exists: append (the default), replace or cancel.
  // A window of two buttons can only append or cancel.
  virtual ExistingAnswer AskAboutExisting(const std::string& prompt) {
    return Ask(Question::AppendToExisting, prompt) ? ExistingAnswer::Append : ExistingAnswer::Cancel;
  }
  // The end message of a run that wrote its output, with the log of its
  // problems ("" for none), which the window may offer to open.
  virtual void TellFinished(Notice notice, const std::string& text, const std::string& output, const std::string& log) {
    (void)output, (void)log;
    Tell(notice, text);
  }
};

struct WindowRunOptions {
  std::string joinSeparator = "; ";
  HeaderStyle header = HeaderStyle::Codes;
  Language language = Language::Chinese;        // of the questions and notices, and of the names in the header
  OutputType remembered = OutputType::GbkText;  // the type chosen last, which the confirmation names
  std::int64_t mostLogLines = kProblemLogLines;
  unsigned threads = 0;  // the rows are made on: 0 for one per core
};

// The input paths typed or chosen, or none after telling the user there is
// none to start with, or naming the first that is missing: what a run and
// the field chooser both begin with.
std::vector<std::string> InputsToStartWith(RunWindow& window, FileSystem& files, const Messages& messages);

// The summary of the conversion, or nullopt when none ran: no input to
// start with, or the user said No or cancelled the save dialog.
std::optional<RunSummary> RunFromWindow(RunWindow& window, FileSystem& files, const WindowRunOptions& options = {});
