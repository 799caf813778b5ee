// Standard output as the run's output on POSIX systems.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "descriptor_files.h"
#include "standard_output.h"

using namespace posix_files;

namespace {
bool IsRegularFile(int fd) {
  struct stat info;
  return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}
}  // namespace

std::unique_ptr<OutputFile> OpenStandardOutput(FileError& error) {
  Existing existing = ReadExisting(STDOUT_FILENO, true);
  if (IsRegularFile(STDOUT_FILENO)) {
    if (LockForThisRun(STDOUT_FILENO, error) == LockResult::Conflict) return nullptr;
    // Another program may have added to the file before the lock was taken.
    const Existing now = ReadExisting(STDOUT_FILENO, false);
    if (now.size != existing.size) existing = now;
  }
  return std::make_unique<DescriptorOutput>(STDOUT_FILENO, false, false, std::move(existing), std::string());
}

bool StandardOutputIs(const std::string& path) {
  struct stat out, file;
  return ::fstat(STDOUT_FILENO, &out) == 0 && ::stat(path.c_str(), &file) == 0 && out.st_dev == file.st_dev &&
         out.st_ino == file.st_ino;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

bool WriteToStandardOutput(std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

void PrepareStandardStreams() {
  // Past a file-size limit (ulimit -f) a write then fails with EFBIG, which
  // is reported, instead of the signal ending the program mid-line.
  std::signal(SIGXFSZ, SIG_IGN);
}
