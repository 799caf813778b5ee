#pragma once
// The largest resident size this process has had, in bytes: what a run
// really took of the machine's memory, its peaks included.
#include <cstdint>

#ifdef _WIN32
#define PSAPI_VERSION 2
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

inline std::uint64_t PeakResidentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}
#else
#include <sys/resource.h>

inline std::uint64_t PeakResidentBytes() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;  // Linux counts kilobytes
}
#endif
