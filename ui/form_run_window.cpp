#include "form_run_window.h"

#include "message_loop.h"
#include "win32_text.h"

namespace {

// The caption changes with every record, but repainting it and running the
// window's events that often would cost more than the conversion itself; a
// person cannot read faster than this anyway.
constexpr DWORD kRepaintIntervalMs = 30;

}  // namespace

std::string FormRunWindow::InputPathText() { return Narrow(WindowText(form_.Control(kText1))); }

std::string FormRunWindow::FieldListText() { return Narrow(WindowText(form_.Control(kText2))); }

void FormRunWindow::SetStartEnabled(bool enabled) {
  if (form_.Closing()) return;
  EnableWindow(form_.Control(kCommand3), enabled ? TRUE : FALSE);
}

void FormRunWindow::ShowProgressLabel() {
  if (form_.Closing()) return;
  ShowWindow(form_.Control(kLabel3), SW_SHOWNA);
}

bool FormRunWindow::ShowProgress(const std::string& caption, const RunProgress&) {
  if (form_.Closing()) return false;
  caption_ = caption;
  captionShown_ = false;
  const DWORD now = GetTickCount();
  if (everPumped_ && now - lastPumped_ < kRepaintIntervalMs) return true;
  PaintProgress();
  // Lets the user pick another file, click the link or close the window.
  PumpPendingMessages(form_);
  everPumped_ = true;
  lastPumped_ = GetTickCount();
  return !form_.Closing();
}

void FormRunWindow::FinishProgress() {
  if (!captionShown_ && !form_.Closing()) PaintProgress();
}

void FormRunWindow::PaintProgress() {
  HWND label = form_.Control(kLabel3);
  SetWindowTextW(label, Widen(caption_).c_str());
  UpdateWindow(label);
  captionShown_ = true;
}

Answer FormRunWindow::AskYesNo(const std::string& prompt, unsigned style, const std::string& title) {
  FinishProgress();
  const int pressed = form_.ShowMessageBox(Widen(prompt), style, Widen(title));
  return pressed == IDYES ? Answer::Yes : Answer::No;
}

void FormRunWindow::ShowMessage(const std::string& prompt, unsigned style, const std::string& title) {
  // The last record's count is on the label before the end message appears.
  FinishProgress();
  form_.ShowMessageBox(Widen(prompt), style, Widen(title));
}

std::string FormRunWindow::ChooseSaveFile() { return Narrow(form_.ChooseSaveFile()); }

void FormRunWindow::FieldListSetting(const std::string& mode) { form_.FieldListSetting(mode); }
