// A whole new file written beside its target and put in its place at the end.
#include <windows.h>

#include "handle_files_win32.h"
#include "replacement_target_win32.h"
#include "temporary_file_win32.h"
#include "win32_text.h"

namespace win32_files {

namespace {

class ReplacementOutput : public OutputFile {
 public:
  ReplacementOutput(win32::FileHandle file, std::wstring target, bool replace)
      : file_(std::move(file), true, Existing{0, std::string(), std::string()}),
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

  // The file is renamed through its handle, so the handle is closed only
  // once it is in place; a failure deletes it through the same handle.
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
    return PutInPlace(file_.Handle(), target_, replace_, AttributesToKeep(target_));
  }

  HandleOutput file_;
  std::wstring target_;
  bool replace_;
  bool closed_ = false;
  FileError error_;
};

}  // namespace

std::unique_ptr<OutputFile> OpenReplacementFile(const std::string& path, bool replace, FileError& error) {
  const std::wstring target = FollowLinks(Widen(path));
  FileError failure = RefusalToReplace(target, replace);
  if (failure) {
    error = failure;
    return nullptr;
  }
  RemoveLeftovers(target);
  win32::FileHandle file = CreateTemporaryBeside(target, failure);
  if (!file) {
    error = failure;
    return nullptr;
  }
  return std::make_unique<ReplacementOutput>(std::move(file), target, replace);
}

}  // namespace win32_files
