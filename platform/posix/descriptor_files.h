#pragma once
// What the machine's files and standard output share on POSIX systems: plain
// descriptors, so that an error keeps its errno, the output can be locked,
// and a write that fails part way can be cut back.
#include <cstdint>
#include <memory>
#include <string>

#include "file_system.h"
#include "system_output.h"

namespace posix_files {

// errno sorted into what a person can act on. With a path, a missing file
// is told apart from a missing folder on the way to it.
FileError FromErrno(int number, const std::string& path = {});

using system_files::Existing;
// Reads what the output held before this run through the descriptor. When
// it is open for writing only and mayReopen, through a descriptor of its
// own on the same file: only before the lock is taken, for closing any
// descriptor of a file drops this process's fcntl lock on it.
Existing ReadExisting(int fd, bool mayReopen);

enum class LockResult { Locked, Unsupported, Conflict };
// Takes the locks that keep a second run out of the file; sets error on a
// conflict.
LockResult LockForThisRun(int fd, FileError& error);

// Whether path leads, as it is now, to the regular file that fd holds: what
// is deleted by its name must be that file, whatever the name has become.
bool NameLeadsTo(const std::string& path, int fd);

// An output on a descriptor. `path` is the name it was opened by ("" for
// standard output), kept for Discard.
class DescriptorOutput : public system_files::SystemOutput {
 public:
  DescriptorOutput(int fd, bool created, bool owned, Existing existing, std::string path);
  ~DescriptorOutput() override;
  DescriptorOutput(const DescriptorOutput&) = delete;
  DescriptorOutput& operator=(const DescriptorOutput&) = delete;

  bool Write(const char* data, std::size_t size) override;
  bool Flush() override;  // fsync
  bool Truncate(std::uint64_t size) override;
  bool Close() override;
  void Discard() override;

 private:
  void RememberErrno(int number);

  int fd_;
  bool owned_;
  std::string path_;
};

// A whole new file written beside path (or the file a link at path names),
// put in its place by Close (see FileSystem::OpenReplacement).
std::unique_ptr<OutputFile> OpenReplacementFile(const std::string& path, bool replace, FileError& error);

}  // namespace posix_files
