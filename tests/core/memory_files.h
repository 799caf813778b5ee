#pragma once
// Input files held in memory, handed out in chunks of a chosen size (to
// exercise block boundaries) and able to fail after some bytes, as a disk or
// network share may.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "file_system.h"

class StringInputFile : public InputFile {
 public:
  explicit StringInputFile(std::string bytes, std::size_t chunk = std::string::npos,
                           std::size_t failAfter = std::string::npos)
      : bytes_(std::move(bytes)), chunk_(chunk), failAfter_(failAfter) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    if (at_ >= failAfter_) {
      failed_ = true;
      return 0;
    }
    const std::size_t n = std::min({size, chunk_, bytes_.size() - at_, failAfter_ - at_});
    if (n > 0) std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return n;
  }
  bool Failed() const override { return failed_; }
  int ErrorNumber() const override { return failed_ ? EIO : 0; }

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t failAfter_;
  std::size_t at_ = 0;
  bool failed_ = false;
};

// The machine's files, except that reading the input breaks off after
// failAfter bytes with a read error.
class FailingReadFileSystem : public FileSystem {
 public:
  FailingReadFileSystem(std::string input, std::size_t failAfter)
      : input_(std::move(input)), failAfter_(failAfter) {}

  bool Exists(const std::string& path) override { return LocalFileSystem().Exists(path); }
  bool IsSameFile(const std::string& first, const std::string& second) override {
    return LocalFileSystem().IsSameFile(first, second);
  }
  std::unique_ptr<InputFile> OpenForReading(const std::string&, int&) override {
    return std::make_unique<StringInputFile>(input_, 7, failAfter_);
  }
  std::unique_ptr<OutputFile> OpenForAppending(const std::string& path, int& errorNumber) override {
    return LocalFileSystem().OpenForAppending(path, errorNumber);
  }

 private:
  std::string input_;
  std::size_t failAfter_;
};
