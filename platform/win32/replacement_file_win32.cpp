// A whole new file written beside its target and put in its place at the end.
#include <windows.h>

#include "handle_files_win32.h"
#include "replacement_output.h"
#include "replacement_target_win32.h"
#include "temporary_file_win32.h"
#include "win32_text.h"

namespace win32_files {

namespace {

// The file is renamed through its handle, and given the target's
// attributes; a failure deletes it through the same handle.
struct Placement {
  std::wstring target;
  bool replace;

  FileError Refusal() const { return RefusalToReplace(target, replace); }
  FileError Put(const HandleOutput& written) const {
    return PutInPlace(written.Handle(), target, replace, AttributesToKeep(target));
  }
};

using ReplacementOutput = system_files::ReplacementOutput<HandleOutput, Placement>;

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
  return std::make_unique<ReplacementOutput>(Placement{target, replace}, std::move(file), true,
                                             Existing{0, std::string(), std::string()});
}

}  // namespace win32_files
