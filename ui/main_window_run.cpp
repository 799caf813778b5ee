// The main window as the window of a conversion run: Begin's handler and the
// services the run uses (the boxes' texts, Begin, the progress label, the
// message boxes, the save dialog and the stored field list).
#include <new>

#include "app/field_list_setting.h"
#include "app/messages.h"
#include "choice_dialog.h"
#include "main_window.h"
#include "message_loop.h"
#include "win32_text.h"

namespace {

// The caption changes with every record, but repainting it and running the
// window's events that often would cost more than the conversion itself; a
// person cannot read faster than this anyway.
constexpr DWORD kRepaintIntervalMs = 30;

// What the user reads when an exception stopped something.
const wchar_t* FailurePrompt(const UiTexts& texts, bool duringRun) noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return texts.Failed(true, duringRun);
  } catch (...) {
    return texts.Failed(false, duringRun);
  }
}

// How each question and notice of a run looks: its buttons, icon and title.
struct BoxLook {
  unsigned style;
  const wchar_t* title;
};

// Whether the file name (after the last folder) has an extension.
bool HasExtension(const std::wstring& path) {
  const std::size_t name = path.find_last_of(L"\\/");
  const std::size_t dot = path.find_last_of(L'.');
  return dot != std::wstring::npos && (name == std::wstring::npos || dot > name) && dot + 1 < path.size();
}

BoxLook LookOf(RunWindow::Question question, const UiTexts& texts) {
  switch (question) {
    case RunWindow::Question::ContinueWithEmptyColumns:
      return {MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, texts.NoticeTitle()};
    case RunWindow::Question::ConfirmExport: return {MB_YESNO | MB_ICONEXCLAMATION, texts.ConfirmTitle()};
    case RunWindow::Question::AppendToExisting:
    case RunWindow::Question::ReplaceExisting:
    case RunWindow::Question::ReplaceInstead: break;
  }
  return {MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2, texts.NoticeTitle()};  // No is the default
}

BoxLook LookOf(RunWindow::Notice notice, const UiTexts& texts) {
  switch (notice) {
    case RunWindow::Notice::NoInputPath:
    case RunWindow::Notice::InputNotFound: return {MB_OK | MB_ICONWARNING, texts.NoticeTitle()};
    case RunWindow::Notice::Finished: return {MB_OK | MB_ICONINFORMATION, texts.NoticeTitle()};
    case RunWindow::Notice::FinishedWithWarning: return {MB_OK | MB_ICONWARNING, texts.NoticeTitle()};
    case RunWindow::Notice::Failed: break;
  }
  return {MB_OK | MB_ICONERROR, texts.NoticeTitle()};
}

}  // namespace

void MainWindow::OnBegin() {
  if (running_) return;  // Begin is disabled during a run; a posted click must not start a second one
  running_ = true;
  stopAsked_ = stopping_ = replacing_ = false;
  progressShown_ = true;
  everPumped_ = false;
  try {
    WindowRunOptions options;  // the join separator may be set beside the field list
    options.joinSeparator = JoinSeparatorSetting(settings_);
    options.header = LoadHeaderStyle(settings_);
    options.language = language_;
    options.remembered = LoadOutputType(settings_);
    RunFromWindow(*this, files_, options);
    FinishProgress();
    if (taskbar_) taskbar_->Clear();
  } catch (...) {
    // Whatever stopped the run, the window goes on and can start another.
    ReportFailure(true);
    SetBeginEnabled(true);
  }
  running_ = false;
}

void MainWindow::ReportFailure(bool duringRun) noexcept {
  if (closing_) return;
  const wchar_t* prompt = FailurePrompt(texts_, duringRun);
  try {
    ShowMessageBox(prompt, MB_OK | MB_ICONERROR, texts_.NoticeTitle());
  } catch (...) {
    MessageBoxW(window_, prompt, texts_.NoticeTitle(), MB_OK | MB_ICONERROR);
  }
}

int MainWindow::ShowMessageBox(const wchar_t* prompt, unsigned style, const wchar_t* title) {
  if (closing_) return (style & MB_TYPEMASK) == MB_OK ? IDOK : IDNO;
  return desktop_.ShowMessageBox(window_, prompt, style, title);
}

// The box's whole text: the run reads the paths in it, quoted or not.
std::string MainWindow::InputPath() { return Narrow(WindowText(Control(kInputPathBox))); }

std::string MainWindow::FieldList() { return Narrow(WindowText(Control(kFieldListBox))); }

void MainWindow::SetBeginEnabled(bool enabled) {
  if (closing_) return;
  EnableWindow(Control(kBeginButton), enabled ? TRUE : FALSE);
}

void MainWindow::ShowProgressLabel() {
  if (closing_) return;
  // No count yet: not the caption without a number, nor the last run's count.
  std::string none;
  Messages(language_).AppendProgress(none, 0, -1);
  SetWindowTextW(Control(kProgressLabel), Widen(none).c_str());
  ShowWindow(Control(kProgressLabel), SW_SHOWNA);
}

RunWindow::ProgressAnswer MainWindow::ShowProgress(const std::string& caption, const RunProgress& progress) {
  if (closing_) return ProgressAnswer::Close;
  progressCaption_ = caption;
  progress_ = progress;
  progressShown_ = false;
  const DWORD now = GetTickCount();
  if (everPumped_ && now - lastPumped_ < kRepaintIntervalMs) return ProgressAnswer::Continue;
  PaintProgress();
  // Lets the user pick another file, click the link, stop the run with Esc
  // or close the window.
  PumpPendingMessages(window_);
  everPumped_ = true;
  lastPumped_ = GetTickCount();
  if (closing_) return ProgressAnswer::Close;
  return stopping_ ? ProgressAnswer::Stop : ProgressAnswer::Continue;
}

// Esc during a run asks whether to stop it; the run waits for the answer.
void MainWindow::OnEscape() {
  if (!running_ || stopAsked_ || closing_) return;
  stopAsked_ = true;
  stopping_ = ShowMessageBox(Widen(Messages(language_).StopPrompt(replacing_)).c_str(), MB_YESNO | MB_ICONQUESTION,
                             texts_.NoticeTitle()) == IDYES;
  stopAsked_ = stopping_;  // after a No, Esc may ask again
}

void MainWindow::PaintProgress() {
  HWND label = Control(kProgressLabel);
  SetWindowTextW(label, Widen(progressCaption_).c_str());
  UpdateWindow(label);
  if (!taskbar_) taskbar_ = std::make_unique<TaskbarProgress>(window_);
  taskbar_->Show(progress_.bytesRead, progress_.inputSize);
  progressShown_ = true;
}

// Puts the latest progress caption on the label if it is not there yet.
void MainWindow::FinishProgress() {
  if (!progressShown_ && !closing_) PaintProgress();
}

bool MainWindow::Ask(Question question, const std::string& prompt) {
  FinishProgress();
  const BoxLook look = LookOf(question, texts_);
  const bool yes = ShowMessageBox(Widen(prompt).c_str(), look.style, look.title) == IDYES;
  if (yes && (question == Question::ReplaceExisting || question == Question::ReplaceInstead)) replacing_ = true;
  return yes;
}

// Append is the default, as it always was; Esc leaves the file alone.
RunWindow::ExistingAnswer MainWindow::AskAboutExisting(const std::string& prompt) {
  FinishProgress();
  if (closing_) return ExistingAnswer::Cancel;
  const Messages messages(language_);
  ChoiceRequest question;
  question.title = texts_.NoticeTitle();
  question.prompt = Widen(prompt);
  question.buttons = {Widen(messages.AppendButton()), Widen(messages.ReplaceButton()), Widen(messages.CancelButton())};
  question.defaultButton = 0;
  question.cancelButton = 2;
  const std::size_t chosen = desktop_.ShowChoice(window_, question);
  if (chosen == 1) replacing_ = true;
  return chosen == 0 ? ExistingAnswer::Append : chosen == 1 ? ExistingAnswer::Replace : ExistingAnswer::Cancel;
}

// The end message offers what the user does next: open the output, its
// folder, or the log of problems. OK is the default, and Esc means it.
void MainWindow::TellFinished(Notice notice, const std::string& text, const std::string& output,
                              const std::string& log) {
  if (output.empty()) {
    Tell(notice, text);
    return;
  }
  FinishProgress();
  if (closing_) return;
  const Messages messages(language_);
  ChoiceRequest end;
  end.title = texts_.NoticeTitle();
  end.prompt = Widen(text);
  end.icon = notice == Notice::FinishedWithWarning ? IDI_WARNING : IDI_INFORMATION;
  end.buttons = {texts_.OkButton(), Widen(messages.OpenFileButton()), Widen(messages.OpenFolderButton())};
  if (!log.empty()) end.buttons.push_back(Widen(messages.OpenLogButton()));
  switch (desktop_.ShowChoice(window_, end)) {
    case 1: desktop_.OpenFile(window_, Widen(output)); break;
    case 2: desktop_.ShowInFolder(window_, Widen(output)); break;
    case 3: desktop_.OpenFile(window_, Widen(log)); break;
    default: break;
  }
}

void MainWindow::Tell(Notice notice, const std::string& text) {
  // The last record's count is on the label before the end message appears.
  FinishProgress();
  const BoxLook look = LookOf(notice, texts_);
  ShowMessageBox(Widen(text).c_str(), look.style, look.title);
  if (notice == Notice::NoInputPath && !closing_) SetFocus(Control(kInputPathBox));
}

// The type offered first is the one chosen last time; the type chosen now is
// kept for the next. A name typed without an extension gets the type's.
OutputChoice MainWindow::ChooseOutputFile() { return ChooseOutputProposing(""); }

OutputChoice MainWindow::ChooseOutputProposing(const std::string& proposed) {
  if (closing_) return {};
  int type = static_cast<int>(LoadOutputType(settings_));
  std::wstring path = desktop_.ChooseSaveFile(window_, type, language_, Widen(proposed));
  if (path.empty()) return {};
  OutputChoice choice;
  choice.type = static_cast<OutputType>(type);
  SaveOutputType(settings_, choice.type);
  if (!HasExtension(path)) path += Widen(FormatOf(choice.type).extension);
  choice.path = Narrow(path);
  return choice;
}

void MainWindow::SaveFieldList() {
  ::SaveFieldList(settings_, FieldList());  // a store that cannot be written does not stop the run
}
