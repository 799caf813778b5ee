#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "file_system.h"
#include "stdio_files.h"

namespace {

class PosixFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
  }

  bool IsSameFile(const std::string& first, const std::string& second) override {
    struct stat a, b;
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
  }

  std::unique_ptr<InputFile> OpenForReading(const std::string& path, int& errorNumber) override {
    return Open(path, "rb", errorNumber, MakeStdioInput);
  }

  std::unique_ptr<OutputFile> OpenForAppending(const std::string& path, int& errorNumber) override {
    return Open(path, "ab", errorNumber, [](std::FILE* f) { return MakeStdioOutput(f); });
  }

 private:
  template <typename Make>
  static auto Open(const std::string& path, const char* mode, int& errorNumber, Make make)
      -> decltype(make(nullptr)) {
    errno = 0;
    std::FILE* stream = std::fopen(path.c_str(), mode);
    if (stream == nullptr) {
      errorNumber = errno;
      return nullptr;
    }
    struct stat info;
    if (::fstat(fileno(stream), &info) == 0 && S_ISDIR(info.st_mode)) {
      std::fclose(stream);
      errorNumber = EISDIR;
      return nullptr;
    }
    return make(stream);
  }
};

}  // namespace

FileSystem& LocalFileSystem() {
  static PosixFileSystem files;
  return files;
}

void UseBinaryMode(std::FILE*) {}

bool IsTerminal(std::FILE* stream) { return ::isatty(fileno(stream)) != 0; }

void PrepareConsoleForUtf8() {}
