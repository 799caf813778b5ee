#pragma once
// A whole new file written beside its target and put in its place at the end
// (see FileSystem::OpenReplacement). What differs between systems comes from
// two types of theirs: File, the SystemOutput the new file is written
// through, which deletes the file on Discard; and Placement, which knows the
// target and has
//   FileError Refusal() const                   why the target may not be replaced now
//   FileError Put(const File& written) const    the flushed file put in the target's place
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "system_output.h"

namespace system_files {

template <typename File, typename Placement>
class ReplacementOutput : public OutputFile {
 public:
  // The arguments after the placement make the file's output.
  template <typename... FileArguments>
  explicit ReplacementOutput(Placement placement, FileArguments&&... file)
      : file_(std::forward<FileArguments>(file)...), placement_(std::move(placement)) {}
  ~ReplacementOutput() override {
    if (!closed_) Discard();
  }
  ReplacementOutput(const ReplacementOutput&) = delete;
  ReplacementOutput& operator=(const ReplacementOutput&) = delete;

  bool Created() const override { return true; }
  std::uint64_t SizeBefore() const override { return 0; }
  std::optional<std::string> FirstBytes() const override { return std::string(); }
  std::optional<std::string> LastBytes() const override { return std::string(); }
  bool Write(const char* data, std::size_t size) override { return file_.Write(data, size); }
  bool Truncate(std::uint64_t size) override { return file_.Truncate(size); }
  FileError Error() const override { return error_ ? error_ : file_.Error(); }

  // The file is held open until it is in place: on POSIX systems its lock
  // tells a later run's clearing of leftovers that it is no leftover, on
  // Windows it is renamed through its handle. A failure deletes it.
  bool Close() override {
    if (closed_) return !Error();
    closed_ = true;
    if (file_.Flush()) error_ = Place();
    if (Error()) {
      file_.Discard();
      return false;
    }
    return file_.Close();
  }

  void Discard() override {
    closed_ = true;
    file_.Discard();
  }

 private:
  // The target is judged again: it may have changed while this run wrote.
  FileError Place() const {
    if (FileError refusal = placement_.Refusal()) return refusal;
    return placement_.Put(file_);
  }

  File file_;
  Placement placement_;
  bool closed_ = false;
  FileError error_;
};

}  // namespace system_files
