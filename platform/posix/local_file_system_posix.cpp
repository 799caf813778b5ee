// The machine's files on POSIX systems: plain descriptors, so that an error
// keeps its errno and the output can be locked with flock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_system.h"
#include "standard_output.h"

namespace {

std::string ParentFolder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

FileError FromErrno(int number, const std::string& path = {}) {
  using Kind = FileError::Kind;
  switch (number) {
    case 0: return {};
    case ENOENT: {
      struct stat info;
      const bool folderMissing = !path.empty() && ::stat(ParentFolder(path).c_str(), &info) != 0;
      return {folderMissing ? Kind::PathNotFound : Kind::NotFound, number};
    }
    case ENOTDIR: return {Kind::PathNotFound, number};
    case EACCES:
    case EPERM: return {Kind::NoPermission, number};
    case EISDIR: return {Kind::IsFolder, number};
    case EWOULDBLOCK: return {Kind::InUse, number};
    case ENOSPC:
    case EDQUOT: return {Kind::DiskFull, number};
    case EROFS: return {Kind::ReadOnly, number};
    case EMFILE:
    case ENFILE: return {Kind::TooManyOpen, number};
    case EFBIG: return {Kind::TooLarge, number};
    case EINVAL: return {Kind::InvalidName, number};
    case ENAMETOOLONG: return {Kind::NameTooLong, number};
    case EIO: return {Kind::ReadWrite, number};
    case ENOMEM: return {Kind::OutOfMemory, number};
    default: return {Kind::Other, number};
  }
}

class DescriptorInput : public InputFile {
 public:
  explicit DescriptorInput(int fd) : fd_(fd) {}
  ~DescriptorInput() override { ::close(fd_); }
  DescriptorInput(const DescriptorInput&) = delete;
  DescriptorInput& operator=(const DescriptorInput&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno == EINTR) continue;
      error_ = FromErrno(errno);
      return 0;
    }
  }
  FileError Error() const override { return error_; }

 private:
  int fd_;
  FileError error_;
};

class DescriptorOutput : public OutputFile {
 public:
  DescriptorOutput(int fd, bool created, bool owned) : fd_(fd), created_(created), owned_(owned) {}
  ~DescriptorOutput() override { Close(); }
  DescriptorOutput(const DescriptorOutput&) = delete;
  DescriptorOutput& operator=(const DescriptorOutput&) = delete;

  bool Created() const override { return created_; }

  std::optional<std::string> Start(std::size_t size) override {
    struct stat info;
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) return std::nullopt;
    if (!S_ISREG(info.st_mode) || info.st_size == 0) return std::string();  // a pipe or terminal starts here
    std::string bytes(size, '\0');
    ssize_t got = ::pread(fd_, bytes.data(), size, 0);
    if (got < 0) got = ReadStartThroughProc(bytes);
    if (got < 0) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
  }

  bool Write(const char* data, std::size_t size) override {
    while (size > 0 && fd_ >= 0) {
      const ssize_t written = ::write(fd_, data, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        Remember(errno);
        return false;
      }
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return size == 0;
  }

  bool Close() override {
    if (fd_ < 0) return !error_;
    if (owned_ && ::close(fd_) != 0) Remember(errno);
    fd_ = -1;
    return !error_;
  }

  FileError Error() const override { return error_; }

 private:
  // Standard output may be open for writing only; the file it names can
  // still be read to see how it begins.
  ssize_t ReadStartThroughProc(std::string& bytes) const {
    const int reader = ::open(("/proc/self/fd/" + std::to_string(fd_)).c_str(), O_RDONLY | O_CLOEXEC);
    if (reader < 0) return -1;
    const ssize_t got = ::pread(reader, bytes.data(), bytes.size(), 0);
    ::close(reader);
    return got;
  }

  void Remember(int number) {
    if (!error_) error_ = FromErrno(number != 0 ? number : EIO);
  }

  int fd_;
  bool created_;
  bool owned_;
  FileError error_;
};

// One run at a time per output file; a second one is told the file is in use.
bool LockForThisRun(int fd, FileError& error) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  error = FromErrno(errno);
  return false;
}

class PosixFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
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

  std::unique_ptr<OutputFile> OpenForAppending(const std::string& path, FileError& error) override {
    const int flags = O_RDWR | O_APPEND | O_CLOEXEC;
    bool created = true;
    int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno == EEXIST) {
      created = false;
      fd = ::open(path.c_str(), flags);
      // A file one may write but not read is still appended to.
      if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    }
    if (fd < 0) {
      error = FromErrno(errno, path);
      return nullptr;
    }
    if (!LockForThisRun(fd, error)) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<DescriptorOutput>(fd, created, true);
  }

  bool Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
};

bool IsRegularFile(int fd) {
  struct stat info;
  return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

FileSystem& LocalFileSystem() {
  static PosixFileSystem files;
  return files;
}

std::unique_ptr<OutputFile> OpenStandardOutput(FileError& error) {
  if (IsRegularFile(STDOUT_FILENO) && !LockForThisRun(STDOUT_FILENO, error)) return nullptr;
  return std::make_unique<DescriptorOutput>(STDOUT_FILENO, false, false);
}

bool StandardOutputIs(const std::string& path) {
  struct stat out, file;
  return ::fstat(STDOUT_FILENO, &out) == 0 && ::stat(path.c_str(), &file) == 0 && out.st_dev == file.st_dev &&
         out.st_ino == file.st_ino;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

void PrepareConsoleForUtf8() {}
