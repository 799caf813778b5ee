// A whole new file written beside its target and put in its place at the end.
#include "descriptor_files.h"
#include "replacement_output.h"
#include "replacement_target.h"
#include "temporary_file.h"

namespace posix_files {

namespace {

// The temporary takes the target's owner and mode, then its name.
struct Placement {
  TemporaryFile temporary;
  std::string target;
  bool replace;

  FileError Refusal() const { return RefusalToReplace(target, replace); }
  FileError Put(const DescriptorOutput&) const {
    if (FileError failure = TakeOwnerAndMode(temporary.fd, target)) return failure;
    return PutInPlace(temporary, target, replace);
  }
};

// Its output deletes the temporary's name, if it has one, on Discard.
using ReplacementOutput = system_files::ReplacementOutput<DescriptorOutput, Placement>;

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
  return std::make_unique<ReplacementOutput>(Placement{temporary, target, replace}, temporary.fd, true, true,
                                             Existing{0, std::string(), std::string()}, temporary.name);
}

}  // namespace posix_files
