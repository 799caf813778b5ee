// A whole new file written beside its target and moved over it at the end.
#include <windows.h>

#include <atomic>

#include "handle_files_win32.h"
#include "win32_text.h"

namespace win32_files {

namespace {

std::wstring Folder(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring Name(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// A name in the target's folder that no other run picks; opened so that it
// can be deleted through its handle.
win32::FileHandle CreateBeside(const std::wstring& path, std::wstring& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int tries = 0; tries < 100; ++tries) {
    temporary = Folder(path) + L"~" + Name(path) + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++) + L".tmp";
    win32::FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return win32::FileHandle();
}

// A program that holds the target open without letting it be deleted (as
// a spreadsheet holds its workbook) keeps it from being replaced.
bool TargetInUse(const std::wstring& path) {
  const win32::FileHandle probe(CreateFileW(path.c_str(), DELETE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
}

class ReplacementOutput : public OutputFile {
 public:
  ReplacementOutput(win32::FileHandle file, std::wstring temporary, std::wstring path, bool replace)
      : file_(std::move(file), true, Existing{0, std::string(), std::string()}),
        temporary_(std::move(temporary)),
        path_(std::move(path)),
        replace_(replace) {}
  ~ReplacementOutput() override {
    if (!closed_) Discard();
  }

  bool Created() const override { return true; }
  std::uint64_t SizeBefore() const override { return 0; }
  std::optional<std::string> FirstBytes() const override { return std::string(); }
  std::optional<std::string> LastBytes() const override { return std::string(); }
  bool Write(const char* data, std::size_t size) override { return file_.Write(data, size); }
  bool Truncate(std::uint64_t size) override { return file_.Truncate(size); }
  FileError Error() const override { return error_ ? error_ : file_.Error(); }

  bool Close() override {
    if (closed_) return !Error();
    closed_ = true;
    if (!file_.Flush() || !file_.Close()) {
      DeleteFileW(temporary_.c_str());
      return false;
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace_ ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temporary_.c_str(), path_.c_str(), flags)) {
      const DWORD code = GetLastError();
      error_ = code == ERROR_ACCESS_DENIED && TargetInUse(path_) ? FromLastError(ERROR_SHARING_VIOLATION)
                                                                 : FromLastError(code);
      DeleteFileW(temporary_.c_str());
    }
    return !error_;
  }

  void Discard() override {
    closed_ = true;
    file_.Discard();
  }

 private:
  HandleOutput file_;
  std::wstring temporary_;
  std::wstring path_;
  bool replace_;
  bool closed_ = false;
  FileError error_;
};

}  // namespace

std::unique_ptr<OutputFile> OpenReplacementFile(const std::string& path, bool replace, FileError& error) {
  const std::wstring wide = Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return error = {FileError::Kind::IsFolder, ERROR_DIRECTORY}, nullptr;
    if (!replace) return error = FromLastError(ERROR_FILE_EXISTS), nullptr;
    if (TargetInUse(wide)) return error = FromLastError(ERROR_SHARING_VIOLATION), nullptr;
  }
  std::wstring temporary;
  win32::FileHandle file = CreateBeside(wide, temporary);
  if (!file) {
    error = LastError();
    return nullptr;
  }
  return std::make_unique<ReplacementOutput>(std::move(file), std::move(temporary), wide, replace);
}

}  // namespace win32_files
