// bench_census: times the census of a record file against a conversion of
// the same file with the default field list, which the census should take
// at most half the time of.
//
//   bench_census [--repeat N] [--census-only] [--threads N] INPUT
//
// --threads N runs both on N threads (0, the default, one per core; 1 on the
// calling thread alone).
// --census-only runs one census and nothing else, for measuring its memory
// from outside (/usr/bin/time -v). The conversion's output goes to
// INPUT.bench-conversion.txt, removed at the end. A megabyte is 1,000,000 bytes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/messages.h"
#include "bench_timing.h"
#include "census/census.h"
#include "conversion.h"
#include "file_system.h"
#include "marc/field_list.h"

namespace {

unsigned threads = 0;

bool TimeCensus(const std::string& input, Timing& timing, std::size_t& rows) {
  const Stopwatch stopwatch;
  const Census census = TakeCensus(LocalFileSystem(), input, nullptr, threads);
  stopwatch.Stop(timing);
  timing.records = census.records;
  rows = census.entries.size();
  if (census.outcome != Census::Outcome::Completed) {
    std::fprintf(stderr, "bench_census: the census failed: %s\n",
                 Messages(Language::English).Failed(census.failure, Work::Census).c_str());
    return false;
  }
  return true;
}

bool TimeConversion(const std::string& input, const std::string& output, Timing& timing) {
  std::remove(output.c_str());
  const Stopwatch stopwatch;
  ConversionRequest request;  // as marc2tab runs it, the default list, no progress shown
  request.inputPaths = {input};
  request.outputPath = output;
  request.items = ParseFieldList(DefaultFieldList);
  request.threads = threads;
  const RunSummary summary = Convert(request, LocalFileSystem());
  stopwatch.Stop(timing);
  timing.records = summary.records;
  if (summary.outcome != RunSummary::Outcome::Completed) {
    std::fprintf(stderr, "bench_census: the conversion failed: %s\n",
                 Messages(Language::English).Failed(summary.failure, Work::Conversion).c_str());
    return false;
  }
  return true;
}

int CensusOnly(const std::string& input, double megabytes) {
  Timing timing;
  std::size_t rows = 0;
  if (!TimeCensus(input, timing, rows)) return 1;
  Report("census", timing, megabytes);
  std::printf("rows        %zu\n", rows);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 3;
  bool censusOnly = false;
  std::string input;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--repeat" && i + 1 < argc) {
      repeat = std::atoi(argv[++i]);
    } else if (argument == "--census-only") {
      censusOnly = true;
    } else if (argument == "--threads" && i + 1 < argc) {
      threads = static_cast<unsigned>(std::atoi(argv[++i]));
    } else if (input.empty() && argument[0] != '-') {
      input = argument;
    } else {
      input.clear();
      break;
    }
  }
  if (input.empty() || repeat < 1) {
    std::fputs("Usage: bench_census [--repeat N] [--census-only] [--threads N] INPUT\n", stderr);
    return 2;
  }
  const long long size = FileSize(input);
  if (size < 0) {
    std::perror(input.c_str());
    return 1;
  }
  const double megabytes = static_cast<double>(size) / 1e6;
  if (censusOnly) return CensusOnly(input, megabytes);

  // Best of several alternating runs, after one untimed census that warms
  // the page cache and the allocator.
  const std::string output = input + ".bench-conversion.txt";
  Timing t;
  std::size_t rows = 0;
  if (!TimeCensus(input, t, rows)) return 1;
  Timing bestCensus{1e30, 1e30, 0};
  Timing bestConversion{1e30, 1e30, 0};
  for (int i = 0; i < repeat; ++i) {
    if (!TimeConversion(input, output, t)) return 1;
    KeepBest(bestConversion, t);
    if (!TimeCensus(input, t, rows)) return 1;
    KeepBest(bestCensus, t);
  }
  std::remove(output.c_str());

  std::printf("input       %s, %.1f MB, best of %d\n", input.c_str(), megabytes, repeat);
  Report("conversion", bestConversion, megabytes);
  Report("census", bestCensus, megabytes);
  std::printf("rows        %zu\n", rows);
  std::printf("ratio       %.3f wall, %.3f cpu (census time / conversion time)\n",
              bestCensus.seconds / bestConversion.seconds, bestCensus.cpuSeconds / bestConversion.cpuSeconds);
  return 0;
}
