// The machine's files on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "descriptor_files.h"
#include "file_system.h"
#include "mapped_window.h"

using namespace posix_files;

namespace {

class DescriptorInput : public InputFile {
 public:
  explicit DescriptorInput(int fd) : fd_(fd) {
    struct stat info;
    mappable_ = ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
    sizeWhenOpened_ = mappable_ ? info.st_size : 0;
  }
  ~DescriptorInput() override { ::close(fd_); }
  DescriptorInput(const DescriptorInput&) = delete;
  DescriptorInput& operator=(const DescriptorInput&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override {
    if (error_ || window_.Damaged()) return 0;
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno == EINTR) continue;
      error_ = FromErrno(errno);
      return 0;
    }
  }
  FileError Error() const override {
    if (!error_ && window_.Damaged()) return FromErrno(EIO);
    return error_;
  }
  std::uint64_t Size() const override {
    struct stat info;
    return ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
  }

  // Regular files only, and only while their size stays: a file that grew
  // is read on from where the windows ended, and one that shrank as well,
  // unless it shrank under a window (Damaged).
  std::optional<std::string_view> MapWindow(std::uint64_t offset, std::size_t size) override {
    if (!mappable_) return std::nullopt;
    struct stat info;
    if (::fstat(fd_, &info) != 0 || info.st_size != sizeWhenOpened_ || window_.Damaged()) return StopMapping();
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);
    if (offset >= fileSize) return std::string_view();
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(size, fileSize - offset));
    const std::optional<std::string_view> window = window_.Map(fd_, offset, length);
    if (!window) return StopMapping();
    mappedTo_ = offset + length;
    return window;
  }

 private:
  std::optional<std::string_view> StopMapping() {
    mappable_ = false;
    if (::lseek(fd_, static_cast<off_t>(mappedTo_), SEEK_SET) < 0) error_ = FromErrno(errno);
    return std::nullopt;
  }

  int fd_;
  FileError error_;
  bool mappable_ = false;
  off_t sizeWhenOpened_ = 0;
  std::uint64_t mappedTo_ = 0;  // where reading goes on once the file is no longer mapped
  MappedWindow window_;
};

// A new file only when asked for one; else the existing file, which one
// may be allowed to write but not to read.
int OpenOutputDescriptor(const std::string& path, OutputMode mode, bool& created) {
  const int flags = O_RDWR | O_APPEND | O_CLOEXEC;
  created = true;
  const int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
  if (fd >= 0 || errno != EEXIST || mode == OutputMode::CreateNew) return fd;
  created = false;
  const int existing = ::open(path.c_str(), flags);
  if (existing >= 0 || errno != EACCES) return existing;
  return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
}

class PosixFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
  }

  std::uint64_t SizeOf(const std::string& path) override {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    return static_cast<std::uint64_t>(info.st_size);
  }

  bool IsSameFile(const std::string& first, const std::string& second) override {
    struct stat a, b;
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
  }

  std::unique_ptr<InputFile> OpenForReading(const std::string& path, FileError& error) override {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      error = FromErrno(errno, path);
      return nullptr;
    }
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
      ::close(fd);
      error = FromErrno(EISDIR);
      return nullptr;
    }
    return std::make_unique<DescriptorInput>(fd);
  }

  std::unique_ptr<OutputFile> OpenOutput(const std::string& path, OutputMode mode, FileError& error) override {
    bool created = false;
    const int fd = OpenOutputDescriptor(path, mode, created);
    if (fd < 0) {
      error = FromErrno(errno, path);
      return nullptr;
    }
    if (LockForThisRun(fd, error) == LockResult::Conflict) {
      ::close(fd);
      return nullptr;
    }
    // Read under the lock, so that the size is the one this run's lines follow.
    return std::make_unique<DescriptorOutput>(fd, created, true, ReadExisting(fd, false), path);
  }

  std::unique_ptr<OutputFile> OpenReplacement(const std::string& path, bool replace, FileError& error) override {
    return OpenReplacementFile(path, replace, error);
  }

  bool Remove(const std::string& path, FileError& error) override {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    error = FromErrno(errno, path);
    return false;
  }
};

}  // namespace

FileSystem& LocalFileSystem() {
  static PosixFileSystem files;
  return files;
}
