#pragma once
// A sink that keeps the bytes in memory, and can be told to fail (or throw)
// once it holds a given number of them, as a full disk would.
#include <cstddef>
#include <limits>
#include <new>
#include <string>

#include "xlsx/zip_writer.h"

class MemorySink : public ByteSink {
 public:
  explicit MemorySink(std::size_t failAt = std::numeric_limits<std::size_t>::max(), bool throwing = false)
      : failAt_(failAt), throwing_(throwing) {}

  bool Write(const char* data, std::size_t size) override {
    if (failed) ++writesAfterFailure;
    failed = failed || size > failAt_ - bytes.size();
    if (failed && throwing_) throw std::bad_alloc();
    if (!failed) bytes.append(data, size);
    return !failed;
  }

  std::string bytes;
  bool failed = false;
  int writesAfterFailure = 0;

 private:
  std::size_t failAt_;
  bool throwing_;
};
