// bench_convert: times the real conversion run on a record file against a
// baseline that does the least any converter must do: read the file in large
// blocks, find each record's 0x1D and write one short line per record.
//
//   bench_convert [--repeat N] [--fields LIST] [--format xlsx] [--encoding utf-8] [--threads N] INPUT
//
// Outputs go to INPUT.bench-conversion.txt and INPUT.bench-baseline.txt, which
// are removed at the end. A megabyte is 1,000,000 bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/messages.h"
#include "bench_timing.h"
#include "conversion.h"
#include "file_system.h"
#include "marc/field_list.h"

namespace {

bool Baseline(const std::string& input, const std::string& output, Timing& timing) {
  const Stopwatch stopwatch;
  std::FILE* in = std::fopen(input.c_str(), "rb");
  std::FILE* out = std::fopen(output.c_str(), "wb");
  if (in == nullptr || out == nullptr) {
    if (in != nullptr) std::fclose(in);
    if (out != nullptr) std::fclose(out);
    return false;
  }
  std::vector<char> block(1 << 20);
  std::string lines;
  std::int64_t records = 0;
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), in);
    if (got == 0) break;
    const char* p = block.data();
    const char* end = p + got;
    while ((p = static_cast<const char*>(std::memchr(p, 0x1D, static_cast<std::size_t>(end - p)))) != nullptr) {
      ++p;
      ++records;
      lines += std::to_string(records);
      lines += "\r\n";
    }
    if (lines.size() >= (1 << 20)) {
      std::fwrite(lines.data(), 1, lines.size(), out);
      lines.clear();
    }
  }
  std::fwrite(lines.data(), 1, lines.size(), out);
  const bool ok = std::ferror(in) == 0 && std::ferror(out) == 0;
  std::fclose(in);
  const bool closed = std::fclose(out) == 0;
  stopwatch.Stop(timing);
  timing.records = records;
  return ok && closed;
}

// The conversion as marc2tab runs it: the list split, the files opened and
// the table written, no progress shown.
bool Conversion(ConversionRequest request, const std::string& fields, Timing& timing) {
  std::remove(request.outputPath.c_str());
  const Stopwatch stopwatch;
  request.items = ParseFieldList(fields);
  const RunSummary summary = Convert(request, LocalFileSystem());
  stopwatch.Stop(timing);
  timing.records = summary.records;
  if (summary.outcome != RunSummary::Outcome::Completed) {
    std::fprintf(stderr, "bench_convert: the run failed: %s\n",
                 Messages(Language::English).Failed(summary.failure, Work::Conversion).c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 3;
  std::string fields = DefaultFieldList;
  ConversionRequest request;
  std::string input;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--repeat" && i + 1 < argc) {
      repeat = std::atoi(argv[++i]);
    } else if (argument == "--fields" && i + 1 < argc) {
      fields = argv[++i];
    } else if (argument == "--format" && i + 1 < argc && std::string(argv[i + 1]) == "xlsx") {
      request.output = OutputType::Workbook;
      ++i;
    } else if (argument == "--encoding" && i + 1 < argc && std::string(argv[i + 1]) == "utf-8") {
      request.output = OutputType::Utf8Text;
      ++i;
    } else if (argument == "--threads" && i + 1 < argc) {
      request.threads = static_cast<unsigned>(std::atoi(argv[++i]));
    } else if (input.empty() && argument[0] != '-') {
      input = argument;
    } else {
      input.clear();
      break;
    }
  }
  if (input.empty() || repeat < 1) {
    std::fputs(
        "Usage: bench_convert [--repeat N] [--fields LIST] [--format xlsx] [--encoding utf-8] [--threads N] INPUT\n",
        stderr);
    return 2;
  }
  const long long size = FileSize(input);
  if (size < 0) {
    std::perror(input.c_str());
    return 1;
  }
  const double megabytes = static_cast<double>(size) / 1e6;
  const std::string baselineOutput = input + ".bench-baseline.txt";
  const std::string conversionOutput = input + ".bench-conversion.txt";
  request.inputPaths = {input};
  request.outputPath = conversionOutput;

  // Best of several alternating runs, after one untimed pass that warms the
  // page cache and the allocator.
  Timing warm;
  if (!Baseline(input, baselineOutput, warm)) {
    std::fprintf(stderr, "bench_convert: cannot read %s or write %s\n", input.c_str(), baselineOutput.c_str());
    return 1;
  }
  Timing bestBaseline{1e30, 1e30, 0};
  Timing bestConversion{1e30, 1e30, 0};
  for (int i = 0; i < repeat; ++i) {
    Timing t;
    if (!Baseline(input, baselineOutput, t)) return 1;
    KeepBest(bestBaseline, t);
    if (!Conversion(request, fields, t)) return 1;
    KeepBest(bestConversion, t);
  }
  std::remove(baselineOutput.c_str());
  std::remove(conversionOutput.c_str());

  std::printf("input       %s, %.1f MB, best of %d\n", input.c_str(), megabytes, repeat);
  Report("baseline", bestBaseline, megabytes);
  Report("conversion", bestConversion, megabytes);
  std::printf("ratio       %.3f wall, %.3f cpu (conversion MB/s / baseline MB/s)\n",
              bestBaseline.seconds / bestConversion.seconds, bestBaseline.cpuSeconds / bestConversion.cpuSeconds);
  if (bestBaseline.records != bestConversion.records) {
    std::printf("note        the baseline counts 0x1D bytes, the run counts records: they differ\n");
  }
  return 0;
}
