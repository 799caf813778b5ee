// The file a replacement takes the place of, on Windows.
#include "replacement_target_win32.h"

#include "handle_files_win32.h"
#include "win32_handles.h"

namespace win32_files {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The path the system gives the file open in `file`, or `otherwise`.
std::wstring FinalPath(HANDLE file, const std::wstring& otherwise) {
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), kFlags);
  if (length >= path.size()) {  // too long for the buffer: length is the size it needs
    path.resize(length);
    length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), kFlags);
  }
  if (length == 0 || length >= path.size()) return otherwise;
  path.resize(length);
  return path;
}

}  // namespace

std::wstring FollowLinks(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return path;
  win32::FileHandle named(
      CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  // A link to no file yet: the file it names is made, to learn its path, and
  // goes again with its handle.
  if (!named) {
    named.Reset(CreateFileW(path.c_str(), DELETE, kShareAll, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  }
  return named ? FinalPath(named.Get(), path) : path;
}

FileError RefusalToReplace(const std::wstring& target, bool replace) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {FileError::Kind::IsFolder, ERROR_DIRECTORY};
  if (!replace) return FromLastError(ERROR_FILE_EXISTS);
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return {FileError::Kind::ReadOnlyFile, ERROR_ACCESS_DENIED};
  if (TargetInUse(target)) return FromLastError(ERROR_SHARING_VIOLATION);
  return {};
}

bool TargetInUse(const std::wstring& target) {
  const win32::FileHandle probe(
      CreateFileW(target.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
}

DWORD AttributesToKeep(const std::wstring& target) {
  // What SetFileInformationByHandle may give a file, read-only files being
  // refused. Never hidden: that mark is the temporary's, and the file put in
  // place must be seen where the user looks for it.
  constexpr DWORD kGivable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD old = GetFileAttributesW(target.c_str());
  if (old == INVALID_FILE_ATTRIBUTES) return FILE_ATTRIBUTE_ARCHIVE;  // as the system marks any new file
  return (old & kGivable) != 0 ? old & kGivable : FILE_ATTRIBUTE_NORMAL;
}

}  // namespace win32_files
