// Form1 as the window of a conversion run: Begin's handler and the services
// the run uses (the boxes' texts, Begin, the progress label, the message
// boxes, the save dialog and the stored field list).
#include <new>

#include "conversion_run.h"
#include "field_list_setting.h"
#include "form1.h"
#include "message_loop.h"
#include "win32_text.h"

namespace {

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

// The caption changes with every record, but repainting it and running the
// window's events that often would cost more than the conversion itself; a
// person cannot read faster than this anyway.
constexpr DWORD kRepaintIntervalMs = 30;

constexpr wchar_t kFailureTitle[] = L"温馨提示";

// What the user reads when an exception stopped something. Fixed texts: there
// may be no memory left to compose one.
const wchar_t* FailurePrompt(bool duringRun) noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return duringRun ? L"内存不足，转换已停止。" : L"内存不足，操作未能完成。";
  } catch (...) {
    return duringRun ? L"程序出错，转换已停止。" : L"程序出错，操作未能完成。";
  }
}

// Field-list box view of Text2 for the settings.
class Text2Box : public FieldListBox {
 public:
  explicit Text2Box(HWND text2) : text2_(text2) {}
  std::string Text() override { return Narrow(WindowText(text2_)); }
  void SetText(const std::string& text) override { SetWindowTextW(text2_, Widen(text).c_str()); }

 private:
  HWND text2_;
};

}  // namespace

void Form1::Command3_Click() {
  if (running_) return;  // Command3 is disabled during a run; a posted click must not start a second one
  running_ = true;
  progressShown_ = true;
  everPumped_ = false;
  try {
    RunOptions options;  // the window writes GBK; the join separator may be set beside the field list
    options.joinSeparator = JoinSeparatorSetting(settings_);
    RunConversion(*this, files_, options);
    FinishProgress();
  } catch (...) {
    // Whatever stopped the run, the window goes on and can start another.
    ReportFailure(true);
    SetStartEnabled(true);
  }
  running_ = false;
}

void Form1::ReportFailure(bool duringRun) noexcept {
  if (closing_) return;
  const wchar_t* prompt = FailurePrompt(duringRun);
  try {
    ShowMessageBox(prompt, MB_OK | MB_ICONERROR, kFailureTitle);
  } catch (...) {
    MessageBoxW(window_, prompt, kFailureTitle, MB_OK | MB_ICONERROR);
  }
}

int Form1::ShowMessageBox(const wchar_t* prompt, unsigned style, const wchar_t* title) {
  if (closing_) return (style & MB_TYPEMASK) == MB_OK ? IDOK : IDNO;
  return desktop_.ShowMessageBox(window_, prompt, style, title);
}

std::string Form1::InputPathText() { return CleanPath(Narrow(WindowText(Control(kText1)))); }

std::string Form1::FieldListText() { return Narrow(WindowText(Control(kText2))); }

void Form1::SetStartEnabled(bool enabled) {
  if (closing_) return;
  EnableWindow(Control(kCommand3), enabled ? TRUE : FALSE);
}

void Form1::ShowProgressLabel() {
  if (closing_) return;
  ShowWindow(Control(kLabel3), SW_SHOWNA);
}

bool Form1::ShowProgress(const std::string& caption, const RunProgress&) {
  if (closing_) return false;
  progressCaption_ = caption;
  progressShown_ = false;
  const DWORD now = GetTickCount();
  if (everPumped_ && now - lastPumped_ < kRepaintIntervalMs) return true;
  PaintProgress();
  // Lets the user pick another file, click the link or close the window.
  PumpPendingMessages(window_);
  everPumped_ = true;
  lastPumped_ = GetTickCount();
  return !closing_;
}

void Form1::PaintProgress() {
  HWND label = Control(kLabel3);
  SetWindowTextW(label, Widen(progressCaption_).c_str());
  UpdateWindow(label);
  progressShown_ = true;
}

// Puts the latest progress caption on the label if it is not there yet.
void Form1::FinishProgress() {
  if (!progressShown_ && !closing_) PaintProgress();
}

Answer Form1::AskYesNo(const std::string& prompt, unsigned style, const std::string& title) {
  FinishProgress();
  const int pressed = ShowMessageBox(Widen(prompt).c_str(), style, Widen(title).c_str());
  return pressed == IDYES ? Answer::Yes : Answer::No;
}

void Form1::ShowMessage(const std::string& prompt, unsigned style, const std::string& title) {
  // The last record's count is on the label before the end message appears.
  FinishProgress();
  ShowMessageBox(Widen(prompt).c_str(), style, Widen(title).c_str());
}

std::string Form1::ChooseSaveFile() {
  if (closing_) return {};
  return Narrow(desktop_.ChooseSaveFile(window_));
}

void Form1::FieldListSetting(const std::string& mode) {
  Text2Box box(Control(kText2));
  ::FieldListSetting(mode, settings_, box);  // a store that cannot be written does not stop the run
}
