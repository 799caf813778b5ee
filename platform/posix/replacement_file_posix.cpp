// A whole new file written beside its target and put in its place at the end.
#include "descriptor_files.h"
#include "replacement_target.h"
#include "temporary_file.h"

namespace posix_files {

namespace {

class ReplacementOutput : public OutputFile {
 public:
  ReplacementOutput(const TemporaryFile& temporary, std::string target, bool replace)
      : file_(temporary.fd, true, true, Existing{0, std::string(), std::string()}, temporary.name),
        temporary_(temporary),
        target_(std::move(target)),
        replace_(replace) {}
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

  // The file is held open until it is in place: its lock tells a later
  // run's clearing of leftovers that it is no leftover.
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
    if (FileError refusal = RefusalToReplace(target_, replace_)) return refusal;
    if (FileError failure = TakeOwnerAndMode(temporary_.fd, target_)) return failure;
    return PutInPlace(temporary_, target_, replace_);
  }

  DescriptorOutput file_;  // deletes the temporary's name, if it has one, on Discard
  TemporaryFile temporary_;
  std::string target_;
  bool replace_;
  bool closed_ = false;
  FileError error_;
};

}  // namespace

std::unique_ptr<OutputFile> OpenReplacementFile(const std::string& path, bool replace, FileError& error) {
  FileError failure;
  const std::string target = FollowLinks(path, failure);
  if (!failure) failure = RefusalToReplace(target, replace);
  if (failure) {
    error = failure;
    return nullptr;
  }
  RemoveLeftovers(target);
  const TemporaryFile temporary = CreateTemporaryBeside(target, failure);
  if (failure) {
    error = failure;
    return nullptr;
  }
  return std::make_unique<ReplacementOutput>(temporary, target, replace);
}

}  // namespace posix_files
