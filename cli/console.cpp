#include "console.h"

#include <cstdio>

#include "standard_output.h"

namespace {
constexpr auto kProgressInterval = std::chrono::milliseconds(200);
}  // namespace

bool StandardOutputFiles::IsSameFile(const std::string& first, const std::string& second) {
  if (first == "-" && second == "-") return false;
  if (second == "-") return StandardOutputIs(first);
  if (first == "-") return StandardOutputIs(second);
  return files_.IsSameFile(first, second);
}

std::unique_ptr<OutputFile> StandardOutputFiles::OpenOutput(const std::string& path, OutputMode mode,
                                                            FileError& error) {
  if (path == "-") return OpenStandardOutput(error);
  return files_.OpenOutput(path, mode, error);
}

std::unique_ptr<OutputFile> StandardOutputFiles::OpenReplacement(const std::string& path, bool replace,
                                                                 FileError& error) {
  if (path == "-") return OpenStandardOutput(error);
  return files_.OpenReplacement(path, replace, error);
}

ProgressLine::ProgressLine(bool shown, CliTexts texts)
    : shown_(shown), texts_(texts), started_(std::chrono::steady_clock::now()), lastDrawn_(started_) {}

void ProgressLine::Show(const RunProgress& progress) {
  if (!shown_ || (progress.records & 1023) != 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastDrawn_ < kProgressInterval) return;
  lastDrawn_ = now;
  const double seconds = std::chrono::duration<double>(now - started_).count();
  const double megabytes = static_cast<double>(progress.bytesRead) / 1e6;
  const std::string line = texts_.Progress(progress.records, megabytes, seconds > 0 ? megabytes / seconds : 0.0);
  std::fprintf(stderr, "\r%s   ", line.c_str());
  drawn_ = true;
}

void ProgressLine::End() {
  if (drawn_) std::fputc('\n', stderr);
  drawn_ = false;
}
