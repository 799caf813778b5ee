#pragma once
// What the benchmarks share: wall and processor time of a run, the best of
// several, a file's size and one line of figures.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

struct Timing {
  double seconds = 0;     // wall clock
  double cpuSeconds = 0;  // processor time of this process, steadier on a busy machine
  std::int64_t records = 0;
};

// Wall and processor time from construction to Stop.
class Stopwatch {
 public:
  void Stop(Timing& timing) const {
    timing.seconds = std::chrono::duration<double>(Clock::now() - wall_).count();
    timing.cpuSeconds = static_cast<double>(std::clock() - cpu_) / CLOCKS_PER_SEC;
  }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point wall_ = Clock::now();
  std::clock_t cpu_ = std::clock();
};

// Wall and processor times are each the best of the runs.
inline void KeepBest(Timing& best, const Timing& t) {
  if (t.seconds < best.seconds) best.seconds = t.seconds;
  if (t.cpuSeconds < best.cpuSeconds) best.cpuSeconds = t.cpuSeconds;
  best.records = t.records;
}

inline long long FileSize(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return -1;
  std::fseek(f, 0, SEEK_END);
  const long long size = std::ftell(f);
  std::fclose(f);
  return size;
}

inline void Report(const char* name, const Timing& best, double megabytes) {
  std::printf("%-11s %7.3f s %8.1f MB/s %10.0f records/s | cpu %7.3f s %8.1f MB/s  (%lld records)\n", name,
              best.seconds, megabytes / best.seconds, static_cast<double>(best.records) / best.seconds, best.cpuSeconds,
              megabytes / best.cpuSeconds, static_cast<long long>(best.records));
}
