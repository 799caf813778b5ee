#pragma once
// What an output on one of the machine's files keeps whatever the system:
// whether this run created the file, what the file held before, and the
// first error, which the later ones only follow from.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "file_system.h"

namespace system_files {

// What an output held before this run.
struct Existing {
  std::uint64_t size = 0;
  std::optional<std::string> first;  // up to OutputFile::kEdgeBytes
  std::optional<std::string> last;
};

class SystemOutput : public OutputFile {
 public:
  bool Created() const override { return created_; }
  std::uint64_t SizeBefore() const override { return existing_.size; }
  std::optional<std::string> FirstBytes() const override { return existing_.first; }
  std::optional<std::string> LastBytes() const override { return existing_.last; }
  FileError Error() const override { return error_; }
  // Makes what was written durable, for a file about to be moved into place.
  virtual bool Flush() = 0;

 protected:
  SystemOutput(bool created, Existing existing) : created_(created), existing_(std::move(existing)) {}
  // A failure the system gave no reason for counts as the device's.
  void Remember(const FileError& error) {
    if (!error_) error_ = error ? error : FileError{FileError::Kind::ReadWrite, 0};
  }

 private:
  bool created_;
  Existing existing_;
  FileError error_;
};

}  // namespace system_files
