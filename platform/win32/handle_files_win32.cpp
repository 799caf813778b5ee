#include "handle_files_win32.h"

#include <algorithm>
#include <optional>

namespace win32_files {

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
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return {Kind::Exists, number};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return {Kind::DiskFull, number};
    case ERROR_WRITE_PROTECT: return {Kind::ReadOnly, number};
    case ERROR_TOO_MANY_OPEN_FILES: return {Kind::TooManyOpen, number};
    case ERROR_FILE_TOO_LARGE: return {Kind::TooLarge, number};
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA: return {Kind::BrokenPipe, number};
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

namespace {

// Up to size bytes at offset, or nullopt when they cannot be read.
std::optional<std::string> ReadAt(HANDLE reader, std::uint64_t offset, std::size_t size) {
  std::string bytes(size, '\0');
  DWORD got = 0;
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  if (size > 0 && !ReadFile(reader, bytes.data(), static_cast<DWORD>(size), &got, &at)) return std::nullopt;
  bytes.resize(got);
  return bytes;
}

}  // namespace

Existing ReadExisting(HANDLE file) {
  Existing existing;
  LARGE_INTEGER length = {};
  if (GetFileType(file) != FILE_TYPE_DISK) {
    existing.first = existing.last = std::string();  // a pipe or console starts here, empty
    return existing;
  }
  if (!GetFileSizeEx(file, &length)) return existing;
  existing.size = static_cast<std::uint64_t>(length.QuadPart);
  if (existing.size == 0) {
    existing.first = existing.last = std::string();  // nothing to read, even where reading cannot be done
    return existing;
  }
  // A read through a synchronous handle moves its position, which is where
  // the next write goes: the bytes are read through a handle of their own.
  const win32::FileHandle reader(
      ReOpenFile(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0));
  if (!reader) return existing;  // open for writing only
  const std::size_t edge = static_cast<std::size_t>(std::min<std::uint64_t>(existing.size, OutputFile::kEdgeBytes));
  existing.first = ReadAt(reader.Get(), 0, edge);
  existing.last = ReadAt(reader.Get(), existing.size - edge, edge);
  return existing;
}

HandleOutput::HandleOutput(win32::FileHandle file, bool created, Existing existing)
    : SystemOutput(created, std::move(existing)), owned_(std::move(file)), file_(owned_.Get()) {}

HandleOutput::HandleOutput(HANDLE standardOutput, Existing existing)
    : SystemOutput(false, std::move(existing)), file_(standardOutput) {}

HandleOutput::~HandleOutput() { Close(); }

bool HandleOutput::Write(const char* data, std::size_t size) {
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

bool HandleOutput::Flush() {
  if (file_ == nullptr) return false;
  if (FlushFileBuffers(file_)) return true;
  Remember(LastError());
  return false;
}

bool HandleOutput::Truncate(std::uint64_t size) {
  if (file_ == nullptr) return false;
  if (GetFileType(file_) != FILE_TYPE_DISK) return true;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) && SetEndOfFile(file_);
}

bool HandleOutput::Close() {
  if (file_ == nullptr) return !Error();
  if (owned_ && !CloseHandle(owned_.Release())) Remember(LastError());
  file_ = nullptr;
  return !Error();
}

// Deleted through the handle itself, which was opened for that when the
// file was made: whatever has happened to its name since, no other file
// can go in its place.
void HandleOutput::Discard() {
  if (file_ != nullptr && owned_ && Created()) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    SetFileInformationByHandle(file_, FileDispositionInfo, &disposition, sizeof disposition);
  }
  Close();
}

}  // namespace win32_files
