#include "stdio_files.h"

#include <cerrno>

namespace {

class StdioInput : public InputFile {
 public:
  explicit StdioInput(std::FILE* stream) : stream_(stream) {}
  ~StdioInput() override { std::fclose(stream_); }

  std::size_t Read(char* buffer, std::size_t size) override {
    errno = 0;
    const std::size_t got = std::fread(buffer, 1, size, stream_);
    if (got == 0 && std::ferror(stream_)) errorNumber_ = errno != 0 ? errno : EIO;
    return got;
  }
  bool Failed() const override { return errorNumber_ != 0; }
  int ErrorNumber() const override { return errorNumber_; }

 private:
  std::FILE* stream_;
  int errorNumber_ = 0;
};

class StdioOutput : public OutputFile {
 public:
  StdioOutput(std::FILE* stream, bool closeWhenDone) : stream_(stream), closeWhenDone_(closeWhenDone) {}
  ~StdioOutput() override { Close(); }

  bool Write(const char* data, std::size_t size) override {
    if (stream_ == nullptr) return false;
    errno = 0;
    if (std::fwrite(data, 1, size, stream_) == size) return true;
    Remember(errno);
    return false;
  }

  bool Close() override {
    if (stream_ == nullptr) return errorNumber_ == 0;
    errno = 0;
    if (std::fflush(stream_) != 0) Remember(errno);
    if (closeWhenDone_ && std::fclose(stream_) != 0) Remember(errno);
    stream_ = nullptr;
    return errorNumber_ == 0;
  }

  int ErrorNumber() const override { return errorNumber_; }

 private:
  void Remember(int errorNumber) {
    if (errorNumber_ == 0) errorNumber_ = errorNumber != 0 ? errorNumber : EIO;
  }

  std::FILE* stream_;
  bool closeWhenDone_;
  int errorNumber_ = 0;
};

}  // namespace

std::unique_ptr<InputFile> MakeStdioInput(std::FILE* stream) { return std::make_unique<StdioInput>(stream); }

std::unique_ptr<OutputFile> MakeStdioOutput(std::FILE* stream, bool closeWhenDone) {
  return std::make_unique<StdioOutput>(stream, closeWhenDone);
}
