#pragma once
// The window services of a conversion run, for the command line: no
// questions (the answers were given as options), a progress line on standard
// error when it is a terminal.
#include <chrono>
#include <cstdio>
#include <string>

#include "run_window.h"

class ConsoleWindow : public RunWindow {
 public:
  ConsoleWindow(std::string input, std::string output, std::string fields, bool showProgress);

  std::string InputPathText() override { return input_; }
  std::string FieldListText() override { return fields_; }
  void SetStartEnabled(bool) override {}
  void ShowProgressLabel() override {}
  bool ShowProgress(const std::string& caption, const RunProgress& progress) override;
  Answer AskYesNo(const std::string&, unsigned, const std::string&) override { return Answer::Yes; }
  void ShowMessage(const std::string&, unsigned, const std::string&) override {}
  std::string ChooseSaveFile() override { return output_; }
  void FieldListSetting(const std::string&) override {}  // the command line keeps no settings

  // Ends the progress line so later messages start on a line of their own.
  void EndProgress();

 private:
  void PrintProgress(const RunProgress& progress);

  std::string input_;
  std::string output_;
  std::string fields_;
  bool showProgress_;
  bool progressShown_ = false;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point lastShown_;
};
