#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "file_system.h"
#include "stdio_files.h"

namespace {

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

// Paths of any characters: the wide entry points, never the ANSI code page.
class WindowsFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  bool IsSameFile(const std::string& first, const std::string& second) override {
    BY_HANDLE_FILE_INFORMATION a, b;
    return Identify(first, a) && Identify(second, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
  }

  std::unique_ptr<InputFile> OpenForReading(const std::string& path, int& errorNumber) override {
    std::FILE* stream = Open(path, L"rb", errorNumber);
    return stream != nullptr ? MakeStdioInput(stream) : nullptr;
  }

  std::unique_ptr<OutputFile> OpenForAppending(const std::string& path, int& errorNumber) override {
    std::FILE* stream = Open(path, L"ab", errorNumber);
    return stream != nullptr ? MakeStdioOutput(stream) : nullptr;
  }

 private:
  // The volume and file index that name a file whatever path leads to it.
  static bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& information) {
    const HANDLE file = CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    return known;
  }

  static std::FILE* Open(const std::string& path, const wchar_t* mode, int& errorNumber) {
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      errorNumber = EISDIR;
      return nullptr;
    }
    errno = 0;
    std::FILE* stream = _wfopen(wide.c_str(), mode);
    if (stream == nullptr) errorNumber = errno != 0 ? errno : EIO;
    return stream;
  }
};

}  // namespace

FileSystem& LocalFileSystem() {
  static WindowsFileSystem files;
  return files;
}

void UseBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void PrepareConsoleForUtf8() { SetConsoleOutputCP(CP_UTF8); }
