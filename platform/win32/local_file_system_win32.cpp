// The machine's files on Windows: wide paths of any characters, and outputs
// opened without write sharing, so that while a run holds one, another run
// (or a program such as a spreadsheet) cannot write into it, and one that
// holds it already makes the open fail with a sharing violation.
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "file_system.h"
#include "handle_files_win32.h"
#include "win32_handles.h"
#include "win32_text.h"

using namespace win32_files;

namespace {

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class HandleInput : public InputFile {
 public:
  explicit HandleInput(win32::FileHandle file) : file_(std::move(file)) {
    LARGE_INTEGER size = {};
    mappable_ = GetFileType(file_.Get()) == FILE_TYPE_DISK && GetFileSizeEx(file_.Get(), &size);
    sizeWhenOpened_ = size.QuadPart;
  }

  std::size_t Read(char* buffer, std::size_t size) override {
    if (error_) return 0;
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
  std::uint64_t Size() const override {
    LARGE_INTEGER size = {};
    if (GetFileType(file_.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(file_.Get(), &size)) return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  // Files on disk only, and only while their size stays: one that changed
  // (it can grow; the system refuses to shorten a file while it is mapped)
  // is read on from where the windows ended.
  std::optional<std::string_view> MapWindow(std::uint64_t offset, std::size_t size) override {
    if (!mappable_) return std::nullopt;
    LARGE_INTEGER now = {};
    if (!GetFileSizeEx(file_.Get(), &now) || now.QuadPart != sizeWhenOpened_) return StopMapping();
    const auto fileSize = static_cast<std::uint64_t>(now.QuadPart);
    if (offset >= fileSize) return std::string_view();
    if (!mapping_) mapping_.Reset(CreateFileMappingW(file_.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_) return StopMapping();
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(size, fileSize - offset));
    const std::uint64_t start = offset - offset % Granularity();
    const auto lead = static_cast<std::size_t>(offset - start);
    if (length > SIZE_MAX - lead) return StopMapping();
    win32::MappedView view(MapViewOfFile(mapping_.Get(), FILE_MAP_READ, static_cast<DWORD>(start >> 32),
                                         static_cast<DWORD>(start), lead + length));
    if (!view) return StopMapping();
    view_ = std::move(view);
    mappedTo_ = offset + length;
    return std::string_view(static_cast<const char*>(view_.Get()) + lead, length);
  }

 private:
  static std::uint64_t Granularity() {
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    return system.dwAllocationGranularity != 0 ? system.dwAllocationGranularity : 65536;
  }

  std::optional<std::string_view> StopMapping() {
    mappable_ = false;
    LARGE_INTEGER to = {};
    to.QuadPart = static_cast<LONGLONG>(mappedTo_);
    if (!SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN)) error_ = LastError();
    return std::nullopt;
  }

  win32::FileHandle file_;
  FileError error_;
  bool mappable_ = false;
  LONGLONG sizeWhenOpened_ = 0;
  std::uint64_t mappedTo_ = 0;  // where reading goes on once the file is no longer mapped
  win32::KernelHandle mapping_;
  win32::MappedView view_;  // after mapping_: released before it
};

// The volume and file index that name a file whatever path leads to it.
bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& information) {
  const win32::FileHandle file(CreateFileW(Widen(path).c_str(), 0,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file && GetFileInformationByHandle(file.Get(), &information) != 0;
}

win32::FileHandle Open(const std::wstring& path, DWORD access, DWORD disposition) {
  return win32::FileHandle(
      CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A new file, which may be deleted again through its handle if the run
// writes nothing into it; or, when asked for, the existing one, which one
// may be allowed to write but not to read.
win32::FileHandle OpenOutputHandle(const std::wstring& path, OutputMode mode, bool& created) {
  created = true;
  win32::FileHandle file = Open(path, GENERIC_READ | GENERIC_WRITE | DELETE, CREATE_NEW);
  if (file || mode == OutputMode::CreateNew || GetLastError() != ERROR_FILE_EXISTS) return file;
  created = false;
  file = Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  if (file || GetLastError() != ERROR_ACCESS_DENIED) return file;
  return Open(path, GENERIC_WRITE, OPEN_EXISTING);
}

class WindowsFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::uint64_t SizeOf(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return 0;
    }
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }

  bool IsSameFile(const std::string& first, const std::string& second) override {
    BY_HANDLE_FILE_INFORMATION a, b;
    return Identify(first, a) && Identify(second, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
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

  std::unique_ptr<OutputFile> OpenOutput(const std::string& path, OutputMode mode, FileError& error) override {
    const std::wstring wide = Widen(path);
    if (IsFolder(wide)) {
      error = {FileError::Kind::IsFolder, ERROR_DIRECTORY};
      return nullptr;
    }
    bool created = false;
    win32::FileHandle file = OpenOutputHandle(wide, mode, created);
    const LARGE_INTEGER none = {};
    if (!file || !SetFilePointerEx(file.Get(), none, nullptr, FILE_END)) {
      error = LastError();
      return nullptr;
    }
    Existing existing = ReadExisting(file.Get());
    return std::make_unique<HandleOutput>(std::move(file), created, std::move(existing));
  }

  std::unique_ptr<OutputFile> OpenReplacement(const std::string& path, bool replace, FileError& error) override {
    return OpenReplacementFile(path, replace, error);
  }

  bool Remove(const std::string& path, FileError& error) override {
    if (DeleteFileW(Widen(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    error = LastError();
    return false;
  }
};

}  // namespace

FileSystem& LocalFileSystem() {
  static WindowsFileSystem files;
  return files;
}
