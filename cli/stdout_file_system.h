#pragma once
// The local files, with "-" as the output name meaning standard output.
#include "file_system.h"

class StdoutFileSystem : public FileSystem {
 public:
  explicit StdoutFileSystem(FileSystem& files) : files_(files) {}

  bool Exists(const std::string& path) override { return path != "-" && files_.Exists(path); }
  bool IsSameFile(const std::string& first, const std::string& second) override {
    return first != "-" && second != "-" && files_.IsSameFile(first, second);
  }
  std::unique_ptr<InputFile> OpenForReading(const std::string& path, int& errorNumber) override {
    return files_.OpenForReading(path, errorNumber);
  }
  std::unique_ptr<OutputFile> OpenForAppending(const std::string& path, int& errorNumber) override;

 private:
  FileSystem& files_;
};
