#pragma once
// What a conversion run gets from the command line instead of a window: no
// questions (the answers were given as options), a progress line on standard
// error when it is a terminal, and "-" as the name of standard output.
#include <chrono>
#include <string>

#include "file_system.h"
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

// The local files, with "-" as the output name meaning standard output.
class ConsoleFiles : public FileSystem {
 public:
  explicit ConsoleFiles(FileSystem& files) : files_(files) {}

  bool Exists(const std::string& path) override { return path != "-" && files_.Exists(path); }
  bool IsSameFile(const std::string& first, const std::string& second) override;
  std::unique_ptr<InputFile> OpenForReading(const std::string& path, FileError& error) override {
    return files_.OpenForReading(path, error);
  }
  std::unique_ptr<OutputFile> OpenOutput(const std::string& path, OutputMode mode, FileError& error) override;

 private:
  FileSystem& files_;
};
