// A whole new file written beside its target and renamed over it at the end.
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "descriptor_files.h"

namespace posix_files {

namespace {

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string Name(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A hidden name in the target's folder, which no other run picks.
int CreateBeside(const std::string& path, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int tries = 0; tries < 100; ++tries) {
    temporary =
        Folder(path) + "." + Name(path) + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Whether another run holds the target: it would go on writing into a file
// that is no longer there.
bool TargetInUse(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

// Puts the temporary file in the target's place; without `replace` only
// where there is no file yet, even one made a moment ago.
bool PutInPlace(const std::string& temporary, const std::string& path, bool replace) {
  if (replace) return ::rename(temporary.c_str(), path.c_str()) == 0;
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without that kind of rename: a second name fails just the same when one is there.
  if (::link(temporary.c_str(), path.c_str()) != 0) return false;
  ::unlink(temporary.c_str());
  return true;
}

class ReplacementOutput : public OutputFile {
 public:
  ReplacementOutput(int fd, std::string temporary, std::string path, bool replace)
      : file_(fd, true, true, Existing{0, std::string(), std::string()}, temporary),
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
      ::unlink(temporary_.c_str());
      return false;
    }
    if (TargetInUse(path_)) {
      error_ = {FileError::Kind::InUse, EWOULDBLOCK};
    } else if (!PutInPlace(temporary_, path_, replace_)) {
      error_ = FromErrno(errno, path_);
    }
    if (error_) ::unlink(temporary_.c_str());
    return !error_;
  }

  void Discard() override {
    closed_ = true;
    file_.Discard();
  }

 private:
  DescriptorOutput file_;
  std::string temporary_;
  std::string path_;
  bool replace_;
  bool closed_ = false;
  FileError error_;
};

}  // namespace

std::unique_ptr<OutputFile> OpenReplacementFile(const std::string& path, bool replace, FileError& error) {
  struct stat info;
  if (::stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return error = FromErrno(EISDIR), nullptr;
    if (!replace) return error = FromErrno(EEXIST), nullptr;
    if (TargetInUse(path)) return error = {FileError::Kind::InUse, EWOULDBLOCK}, nullptr;
  }
  std::string temporary;
  const int fd = CreateBeside(path, temporary);
  if (fd < 0) {
    error = FromErrno(errno, path);
    return nullptr;
  }
  return std::make_unique<ReplacementOutput>(fd, std::move(temporary), path, replace);
}

}  // namespace posix_files
