// The machine's files on Windows: wide paths of any characters, handles
// rather than the C runtime, so that a failure keeps GetLastError's reason
// and the output can be opened without write sharing for the run.
#include <windows.h>

#include <climits>

#include "file_system.h"
#include "standard_output.h"
#include "win32_handles.h"
#include "win32_text.h"

namespace {

FileError FromLastError(DWORD code) {
  using Kind = FileError::Kind;
  const long number = static_cast<long>(code);
  switch (code) {
    case ERROR_SUCCESS: return {};
    case ERROR_FILE_NOT_FOUND: return {Kind::NotFound, number};
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE: return {Kind::PathNotFound, number};
    case ERROR_ACCESS_DENIED: return {Kind::NoPermission, number};
    case ERROR_DIRECTORY: return {Kind::IsFolder, number};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return {Kind::InUse, number};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return {Kind::DiskFull, number};
    case ERROR_WRITE_PROTECT: return {Kind::ReadOnly, number};
    case ERROR_TOO_MANY_OPEN_FILES: return {Kind::TooManyOpen, number};
    case ERROR_FILE_TOO_LARGE: return {Kind::TooLarge, number};
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return {Kind::InvalidName, number};
    case ERROR_FILENAME_EXCED_RANGE: return {Kind::NameTooLong, number};
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE: return {Kind::ReadWrite, number};
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return {Kind::OutOfMemory, number};
    default: return {Kind::Other, number};
  }
}

FileError LastError() { return FromLastError(GetLastError()); }

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The bytes of standard output's start kept for the run (a byte order mark
// needs three).
constexpr std::size_t kStandardOutputStart = 16;
// At most this much per ReadFile or WriteFile call (their counts are DWORDs).
constexpr std::size_t kLargestTransfer = 1u << 30;

class HandleInput : public InputFile {
 public:
  explicit HandleInput(win32::FileHandle file) : file_(std::move(file)) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(size < kLargestTransfer ? size : kLargestTransfer);
    if (!ReadFile(file_.Get(), buffer, wanted, &got, nullptr)) {
      const DWORD code = GetLastError();
      if (code != ERROR_BROKEN_PIPE && code != ERROR_HANDLE_EOF) error_ = FromLastError(code);
      return 0;
    }
    return got;
  }
  FileError Error() const override { return error_; }

 private:
  win32::FileHandle file_;
  FileError error_;
};

// The first bytes of a file through a handle of its own: a read through a
// synchronous handle moves that handle's write position too.
std::optional<std::string> ReadStart(HANDLE file, std::size_t size) {
  LARGE_INTEGER length;
  if (GetFileType(file) != FILE_TYPE_DISK || (GetFileSizeEx(file, &length) && length.QuadPart == 0)) {
    return std::string();  // a pipe or console starts here
  }
  win32::FileHandle reader(ReOpenFile(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0));
  if (!reader) return std::nullopt;  // open for writing only
  std::string bytes(size, '\0');
  DWORD got = 0;
  OVERLAPPED at = {};
  const bool read = ReadFile(reader.Get(), bytes.data(), static_cast<DWORD>(size), &got, &at) != 0;
  reader.Reset();
  if (!read) return std::nullopt;
  return bytes.substr(0, got);
}

class HandleOutput : public OutputFile {
 public:
  // A file this program opened for appending.
  HandleOutput(win32::FileHandle file, bool created) : file_(file.Get()), owned_(std::move(file)), created_(created) {}
  // Standard output, whose start was read before it was locked: a lock keeps
  // out even this process's other handles.
  HandleOutput(HANDLE file, std::optional<std::string> start)
      : file_(file), created_(false), standardOutputStart_(std::move(start)) {}
  ~HandleOutput() override { Close(); }
  HandleOutput(const HandleOutput&) = delete;
  HandleOutput& operator=(const HandleOutput&) = delete;

  bool Created() const override { return created_; }

  std::optional<std::string> Start(std::size_t size) override {
    if (file_ == nullptr) return std::nullopt;
    if (owned_) return ReadStart(owned_.Get(), size);
    if (!standardOutputStart_) return std::nullopt;
    return standardOutputStart_->substr(0, size);
  }

  bool Write(const char* data, std::size_t size) override {
    while (size > 0 && file_ != nullptr) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(size < kLargestTransfer ? size : kLargestTransfer);
      if (!WriteFile(file_, data, chunk, &written, nullptr) || written == 0) {
        Remember(LastError());
        return false;
      }
      data += written;
      size -= written;
    }
    return size == 0;
  }

  bool Close() override {
    if (file_ == nullptr) return !error_;
    if (owned_ && !CloseHandle(owned_.Release())) Remember(LastError());
    file_ = nullptr;
    return !error_;
  }

  FileError Error() const override { return error_; }

 private:
  void Remember(const FileError& error) {
    if (!error_) error_ = error ? error : FileError{FileError::Kind::ReadWrite, 0};
  }

  HANDLE file_;  // written to: owned_'s handle, or standard output, which is not ours to close
  win32::FileHandle owned_;
  bool created_;
  std::optional<std::string> standardOutputStart_;
  FileError error_;
};

// The volume and file index that name a file whatever path leads to it.
bool Identify(HANDLE file, BY_HANDLE_FILE_INFORMATION& information) {
  return file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &information) != 0;
}

bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& information) {
  const win32::FileHandle file(CreateFileW(Widen(path).c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return Identify(file.Get(), information);
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

class WindowsFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  bool IsSameFile(const std::string& first, const std::string& second) override {
    BY_HANDLE_FILE_INFORMATION a, b;
    return Identify(first, a) && Identify(second, b) && SameFile(a, b);
  }

  std::unique_ptr<InputFile> OpenForReading(const std::string& path, FileError& error) override {
    const std::wstring wide = Widen(path);
    if (IsFolder(wide)) {
      error = {FileError::Kind::IsFolder, ERROR_DIRECTORY};
      return nullptr;
    }
    win32::FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
      error = LastError();
      return nullptr;
    }
    return std::make_unique<HandleInput>(std::move(file));
  }

  // Without write sharing: while the run holds the file, another run (or a
  // program such as a spreadsheet) cannot write into it, and one that holds
  // it already makes this open fail with a sharing violation.
  std::unique_ptr<OutputFile> OpenForAppending(const std::string& path, FileError& error) override {
    const std::wstring wide = Widen(path);
    if (IsFolder(wide)) {
      error = {FileError::Kind::IsFolder, ERROR_DIRECTORY};
      return nullptr;
    }
    win32::FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() == ERROR_ACCESS_DENIED) {
      // A file one may write but not read is still appended to.
      file.Reset(CreateFileW(wide.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (!file) {
      error = LastError();
      return nullptr;
    }
    const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    return std::make_unique<HandleOutput>(std::move(file), created);
  }

  bool Remove(const std::string& path) override { return DeleteFileW(Widen(path).c_str()) != 0; }
};

}  // namespace

FileSystem& LocalFileSystem() {
  static WindowsFileSystem files;
  return files;
}

std::unique_ptr<OutputFile> OpenStandardOutput(FileError& error) {
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) {
    error = LastError();
    return nullptr;
  }
  std::optional<std::string> start = ReadStart(out, kStandardOutputStart);
  if (GetFileType(out) == FILE_TYPE_DISK) {
    // The shell opened it with its own sharing; a lock over every byte, the
    // ones still to come included, keeps a second run out instead.
    OVERLAPPED from = {};
    if (!LockFileEx(out, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &from)) {
      error = LastError();
      return nullptr;
    }
  }
  return std::make_unique<HandleOutput>(out, std::move(start));
}

bool StandardOutputIs(const std::string& path) {
  BY_HANDLE_FILE_INFORMATION out, file;
  return Identify(GetStdHandle(STD_OUTPUT_HANDLE), out) && Identify(path, file) && SameFile(out, file);
}

bool StandardErrorIsTerminal() { return GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_CHAR; }

void PrepareConsoleForUtf8() { SetConsoleOutputCP(CP_UTF8); }
