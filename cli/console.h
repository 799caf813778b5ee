#pragma once
// What marc2tab adds to the conversion on a console: "-" as the name of
// standard output, and a progress line on standard error.
#include <chrono>
#include <memory>
#include <string>

#include "cli_texts.h"
#include "conversion.h"
#include "file_system.h"

// The local files, with "-" as the output name meaning standard output.
class StandardOutputFiles : public FileSystem {
 public:
  explicit StandardOutputFiles(FileSystem& files) : files_(files) {}

  bool Exists(const std::string& path) override { return path != "-" && files_.Exists(path); }
  std::uint64_t SizeOf(const std::string& path) override { return path == "-" ? 0 : files_.SizeOf(path); }
  bool IsSameFile(const std::string& first, const std::string& second) override;
  std::unique_ptr<InputFile> OpenForReading(const std::string& path, FileError& error) override {
    return files_.OpenForReading(path, error);
  }
  std::unique_ptr<OutputFile> OpenOutput(const std::string& path, OutputMode mode, FileError& error) override;
  // Standard output is written as it goes: it cannot be put in place at the end.
  std::unique_ptr<OutputFile> OpenReplacement(const std::string& path, bool replace, FileError& error) override;
  bool Remove(const std::string& path, FileError& error) override { return files_.Remove(path, error); }

 private:
  FileSystem& files_;
};

// Records, megabytes and speed on one line of standard error, redrawn a few
// times a second, when standard error is a terminal.
class ProgressLine {
 public:
  ProgressLine(bool shown, CliTexts texts);
  void Show(const RunProgress& progress);
  // Ends the line so later messages start on a line of their own.
  void End();

 private:
  bool shown_;
  CliTexts texts_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point lastDrawn_;
};
