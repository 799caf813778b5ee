// The file a replacement writes, on Windows.
#include "temporary_file_win32.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "handle_files_win32.h"
#include "replacement_target_win32.h"

namespace win32_files {

namespace {

constexpr int kNameTries = 100;
constexpr wchar_t kSuffix[] = L".tmp";

std::wstring Folder(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring Name(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring TemporaryPrefix(const std::wstring& target) { return L"~" + Name(target) + L"."; }

bool AllDigits(const std::wstring& text) {
  if (text.empty()) return false;
  for (const wchar_t c : text)
    if (c < L'0' || c > L'9') return false;
  return true;
}

// Names differ in letter case alone name the same file.
bool SameLetters(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// Whether name is one CreateTemporaryBeside gives target's temporaries,
// "~NAME.PID-N.tmp", and so nothing a person made.
bool IsTemporaryName(const std::wstring& name, const std::wstring& target) {
  const std::wstring prefix = TemporaryPrefix(target);
  const std::size_t suffixLength = sizeof kSuffix / sizeof kSuffix[0] - 1;
  if (name.size() <= prefix.size() + suffixLength || !SameLetters(name.substr(0, prefix.size()), prefix) ||
      name.compare(name.size() - suffixLength, suffixLength, kSuffix) != 0)
    return false;
  const std::wstring middle = name.substr(prefix.size(), name.size() - prefix.size() - suffixLength);
  const std::size_t dash = middle.find(L'-');
  return dash != std::wstring::npos && AllDigits(middle.substr(0, dash)) && AllDigits(middle.substr(dash + 1));
}

bool MarkForDeletion(HANDLE file, bool marked) {
  FILE_DISPOSITION_INFO disposition = {static_cast<BOOLEAN>(marked)};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

// Through the handle, the one open of the file that may rename it: the
// file shares no deletion with any other.
bool RenameTo(HANDLE file, const std::wstring& target, bool replace) {
  const std::wstring path = FullPath(target);
  const std::size_t nameBytes = path.size() * sizeof(wchar_t);
  // Room for the structure, the name and its terminating null, aligned for the structure's handle.
  std::vector<std::uint64_t> room((sizeof(FILE_RENAME_INFO) + nameBytes) / sizeof(std::uint64_t) + 1);
  auto* info = new (room.data()) FILE_RENAME_INFO{};
  info->ReplaceIfExists = static_cast<BOOLEAN>(replace);
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(reinterpret_cast<unsigned char*>(room.data()) + offsetof(FILE_RENAME_INFO, FileName), path.c_str(),
              nameBytes);
  return SetFileInformationByHandle(file, FileRenameInfo, info,
                                    static_cast<DWORD>(room.size() * sizeof(std::uint64_t))) != 0;
}

// Times of zero are left as they were.
bool GiveAttributes(HANDLE file, DWORD attributes) {
  FILE_BASIC_INFO basic = {};
  basic.FileAttributes = attributes;
  return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != 0;
}

}  // namespace

win32::FileHandle CreateTemporaryBeside(const std::wstring& target, FileError& error) {
  static std::atomic<unsigned> counter{0};
  for (int tries = 0; tries < kNameTries; ++tries) {
    const std::wstring name = Folder(target) + TemporaryPrefix(target) + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter++) + kSuffix;
    win32::FileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (file && MarkForDeletion(file.Get(), true)) return file;
    const DWORD code = GetLastError();
    if (file) {
      file.Reset();
      DeleteFileW(name.c_str());
    }
    if (code != ERROR_FILE_EXISTS) {
      error = FromLastError(code);
      return win32::FileHandle();
    }
  }
  error = FromLastError(ERROR_FILE_EXISTS);
  return win32::FileHandle();
}

FileError PutInPlace(HANDLE file, const std::wstring& target, bool replace, DWORD attributes) {
  if (!MarkForDeletion(file, false)) return LastError();
  if (!RenameTo(file, target, replace)) {
    const DWORD code = GetLastError();
    return code == ERROR_ACCESS_DENIED && TargetInUse(target) ? FromLastError(ERROR_SHARING_VIOLATION)
                                                              : FromLastError(code);
  }
  // In place now, whatever comes: a file that cannot be given its
  // attributes is still the whole new file.
  GiveAttributes(file, attributes);
  return {};
}

void RemoveLeftovers(const std::wstring& target) {
  const std::wstring folder = Folder(target);
  WIN32_FIND_DATAW found;
  const win32::FileSearch search(FindFirstFileW((folder + TemporaryPrefix(target) + L"*").c_str(), &found));
  if (!search) return;
  do {
    if (IsTemporaryName(found.cFileName, target)) DeleteFileW((folder + found.cFileName).c_str());
  } while (FindNextFileW(search.Get(), &found));
}

}  // namespace win32_files
