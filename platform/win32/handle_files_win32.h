#pragma once
// What the machine's files and standard output share on Windows: handles
// rather than the C runtime, so that a failure keeps GetLastError's reason,
// and a write that fails part way can be cut back.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "file_system.h"
#include "system_output.h"
#include "win32_handles.h"

namespace win32_files {

FileError FromLastError(DWORD code);
inline FileError LastError() { return FromLastError(GetLastError()); }

// At most this much per ReadFile or WriteFile call (their counts are DWORDs).
constexpr std::size_t kLargestTransfer = 1u << 30;

using system_files::Existing;
// Reads what the output held before this run through a handle of its own
// on the same file, which leaves the position of `file` where it was;
// nullopt edges when the file may be written but not read.
Existing ReadExisting(HANDLE file);

// An output on a handle: a file this program opened (owned), or standard
// output (borrowed).
class HandleOutput : public system_files::SystemOutput {
 public:
  HandleOutput(win32::FileHandle file, bool created, Existing existing);
  HandleOutput(HANDLE standardOutput, Existing existing);
  ~HandleOutput() override;
  HandleOutput(const HandleOutput&) = delete;
  HandleOutput& operator=(const HandleOutput&) = delete;

  bool Write(const char* data, std::size_t size) override;
  bool Flush() override;
  bool Truncate(std::uint64_t size) override;
  bool Close() override;
  void Discard() override;
  // The handle itself, for what only it may do to the file (a file that
  // shares no deletion is renamed through its own handle); null once closed.
  HANDLE Handle() const { return file_; }

 private:
  win32::FileHandle owned_;
  HANDLE file_;  // owned_'s, or standard output's; null once closed
};

// A whole new file written beside path (or the file a link at path names),
// put in its place by Close (see FileSystem::OpenReplacement).
std::unique_ptr<OutputFile> OpenReplacementFile(const std::string& path, bool replace, FileError& error);

}  // namespace win32_files
