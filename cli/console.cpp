#include "console.h"

#include <cstdio>

#include "standard_output.h"

namespace {
constexpr auto kProgressInterval = std::chrono::milliseconds(200);
}

ConsoleWindow::ConsoleWindow(std::string input, std::string output, std::string fields, bool showProgress)
    : input_(std::move(input)),
      output_(std::move(output)),
      fields_(std::move(fields)),
      showProgress_(showProgress),
      started_(std::chrono::steady_clock::now()),
      lastShown_(started_) {}

bool ConsoleWindow::ShowProgress(const std::string&, const RunProgress& progress) {
  if (!showProgress_ || (progress.records & 1023) != 0) return true;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastShown_ < kProgressInterval) return true;
  lastShown_ = now;
  PrintProgress(progress);
  return true;
}

void ConsoleWindow::PrintProgress(const RunProgress& progress) {
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  const double megabytes = static_cast<double>(progress.bytesRead) / 1e6;
  std::fprintf(stderr, "\r%lld records, %.1f MB, %.1f MB/s   ", static_cast<long long>(progress.records), megabytes,
               seconds > 0 ? megabytes / seconds : 0.0);
  progressShown_ = true;
}

void ConsoleWindow::EndProgress() {
  if (progressShown_) std::fputc('\n', stderr);
  progressShown_ = false;
}

bool ConsoleFiles::IsSameFile(const std::string& first, const std::string& second) {
  if (first == "-" && second == "-") return false;
  if (second == "-") return StandardOutputIs(first);
  if (first == "-") return StandardOutputIs(second);
  return files_.IsSameFile(first, second);
}

std::unique_ptr<OutputFile> ConsoleFiles::OpenOutput(const std::string& path, OutputMode mode, FileError& error) {
  if (path == "-") return OpenStandardOutput(error);
  return files_.OpenOutput(path, mode, error);
}
