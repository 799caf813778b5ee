#pragma once
// A scripted stand-in for the main window: it answers from a script and
// writes down every call, so a test can compare the whole conversation.
#include <deque>
#include <string>
#include <vector>

#include "run_window.h"

class FakeRunWindow : public RunWindow {
 public:
  // What the user has typed and will answer.
  std::string inputPath;
  std::string fieldList;
  std::deque<Answer> answers;      // AskYesNo answers, in order; Yes when used up
  std::string savePath;            // "" cancels the save dialog
  long closeAtProgress = -1;       // ShowProgress returns false on this call (1-based)

  // What happened.
  std::vector<std::string> calls;
  std::string labelCaption;
  bool startEnabled = true;
  bool labelVisible = false;

  std::string InputPathText() override {
    calls.push_back("InputPathText");
    return inputPath;
  }
  std::string FieldListText() override {
    calls.push_back("FieldListText");
    return fieldList;
  }
  void SetStartEnabled(bool enabled) override {
    calls.push_back(enabled ? "SetStartEnabled(true)" : "SetStartEnabled(false)");
    startEnabled = enabled;
  }
  void ShowProgressLabel() override {
    calls.push_back("ShowProgressLabel");
    labelVisible = true;
  }
  bool ShowProgress(const std::string& caption, const RunProgress&) override {
    calls.push_back("ShowProgress(" + caption + ")");
    labelCaption = caption;
    return ++progressCalls_ != closeAtProgress;
  }
  Answer AskYesNo(const std::string& prompt, unsigned style, const std::string& title) override {
    calls.push_back("AskYesNo(" + prompt + "|" + std::to_string(style) + "|" + title + ")");
    if (answers.empty()) return Answer::Yes;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowMessage(const std::string& prompt, unsigned style, const std::string& title) override {
    calls.push_back("ShowMessage(" + prompt + "|" + std::to_string(style) + "|" + title + ")");
  }
  std::string ChooseSaveFile() override {
    calls.push_back("ChooseSaveFile");
    return savePath;
  }
  void FieldListSetting(const std::string& mode) override { calls.push_back("FieldListSetting(" + mode + ")"); }

 private:
  long progressCalls_ = 0;
};
