// Standard output as the run's output on Windows.
#include <windows.h>

#include <algorithm>

#include "handle_files_win32.h"
#include "standard_output.h"
#include "win32_handles.h"
#include "win32_text.h"

using namespace win32_files;

namespace {

// The shell opened the file with its own sharing; a lock over every byte,
// the ones still to come included, keeps a second run out instead. Locks
// belong to the handle and the process, so even a run that writes through
// the same inherited handle is kept out. A handle the system cannot lock
// (ERROR_INVALID_FUNCTION, ERROR_NOT_SUPPORTED: some redirections and file
// systems) is written without one; only another holder refuses the run.
bool LockForThisRun(HANDLE out, FileError& error) {
  OVERLAPPED from = {};
  if (LockFileEx(out, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &from)) return true;
  const DWORD code = GetLastError();
  if (code != ERROR_LOCK_VIOLATION && code != ERROR_SHARING_VIOLATION) return true;
  error = FromLastError(code);
  return false;
}

bool Identify(HANDLE file, BY_HANDLE_FILE_INFORMATION& information) {
  return file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &information) != 0;
}

}  // namespace

std::unique_ptr<OutputFile> OpenStandardOutput(FileError& error) {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) {
    error = LastError();
    return nullptr;
  }
  // Read first: the lock keeps out even this process's other handles.
  Existing existing = ReadExisting(out);
  if (GetFileType(out) == FILE_TYPE_DISK && !LockForThisRun(out, error)) return nullptr;
  return std::make_unique<HandleOutput>(out, std::move(existing));
}

bool StandardOutputIs(const std::string& path) {
  BY_HANDLE_FILE_INFORMATION out, file;
  const win32::FileHandle named(CreateFileW(Widen(path).c_str(), 0,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return named && Identify(GetStdHandle(STD_OUTPUT_HANDLE), out) && Identify(named.Get(), file) &&
         out.dwVolumeSerialNumber == file.dwVolumeSerialNumber && out.nFileIndexHigh == file.nFileIndexHigh &&
         out.nFileIndexLow == file.nFileIndexLow;
}

bool StandardErrorIsTerminal() { return GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_CHAR; }

bool WriteToStandardOutput(std::string_view text) {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    const std::wstring wide = Widen(text);
    for (std::size_t at = 0; at < wide.size();) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - at, 8192));
      if (!WriteConsoleW(out, wide.data() + at, chunk, &written, nullptr) || written == 0) return false;
      at += written;
    }
    return true;
  }
  std::string bytes;
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  DWORD written = 0;
  for (std::size_t at = 0; at < bytes.size(); at += written) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, kLargestTransfer));
    if (!WriteFile(out, bytes.data() + at, chunk, &written, nullptr) || written == 0) return false;
  }
  return true;
}

void PrepareStandardStreams() { SetConsoleOutputCP(CP_UTF8); }
