#pragma once
// The services a conversion run gets from the main window: the texts of the
// boxes, the start button, the progress label, the message boxes and the save
// dialog.
#include <windows.h>

#include <string>

#include "form1.h"
#include "run_window.h"

class FormRunWindow : public RunWindow {
 public:
  explicit FormRunWindow(Form1& form) : form_(form) {}

  std::string InputPathText() override;
  std::string FieldListText() override;
  void SetStartEnabled(bool enabled) override;
  void ShowProgressLabel() override;
  bool ShowProgress(const std::string& caption, const RunProgress& progress) override;
  Answer AskYesNo(const std::string& prompt, unsigned style, const std::string& title) override;
  void ShowMessage(const std::string& prompt, unsigned style, const std::string& title) override;
  std::string ChooseSaveFile() override;
  void FieldListSetting(const std::string& mode) override;

  // Puts the latest progress caption on the label if it is not there yet.
  void FinishProgress();

 private:
  void PaintProgress();

  Form1& form_;
  std::string caption_;          // the caption of the latest record
  bool captionShown_ = true;     // whether caption_ is on the label
  bool everPumped_ = false;
  DWORD lastPumped_ = 0;         // GetTickCount of the last repaint and event run
};
