#include "descriptor_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace posix_files {

namespace {

std::string ParentFolder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Up to size bytes at offset, or nullopt when they cannot be read.
std::optional<std::string> ReadAt(int fd, std::uint64_t offset, std::size_t size) {
  std::string bytes(size, '\0');
  const ssize_t got = ::pread(fd, bytes.data(), size, static_cast<off_t>(offset));
  if (got < 0) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(got));
  return bytes;
}

void ReadEdges(int fd, Existing& existing) {
  const std::size_t first = static_cast<std::size_t>(std::min<std::uint64_t>(existing.size, OutputFile::kEdgeBytes));
  existing.first = ReadAt(fd, 0, first);
  existing.last = ReadAt(fd, existing.size - first, first);
}

bool IsConflict(int number) { return number == EWOULDBLOCK || number == EAGAIN || number == EACCES; }

}  // namespace

FileError FromErrno(int number, const std::string& path) {
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
    case EEXIST: return {Kind::Exists, number};
    case ENOSPC:
    case EDQUOT: return {Kind::DiskFull, number};
    case EROFS: return {Kind::ReadOnly, number};
    case EMFILE:
    case ENFILE: return {Kind::TooManyOpen, number};
    case EFBIG: return {Kind::TooLarge, number};
    case EPIPE: return {Kind::BrokenPipe, number};
    case EINVAL: return {Kind::InvalidName, number};
    case ENAMETOOLONG: return {Kind::NameTooLong, number};
    case EIO: return {Kind::ReadWrite, number};
    case ENOMEM: return {Kind::OutOfMemory, number};
    default: return {Kind::Other, number};
  }
}

Existing ReadExisting(int fd, bool mayReopen) {
  Existing existing;
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    existing.first = existing.last = std::nullopt;
    return existing;
  }
  // A pipe or terminal starts here, empty.
  if (!S_ISREG(info.st_mode) || info.st_size <= 0) {
    existing.first = existing.last = std::string();
    return existing;
  }
  existing.size = static_cast<std::uint64_t>(info.st_size);
  ReadEdges(fd, existing);
  if ((existing.first && existing.last) || !mayReopen) return existing;
  // Open for writing only: the file it names may still be read.
  const int reader = ::open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_RDONLY | O_CLOEXEC);
  if (reader < 0) return existing;
  ReadEdges(reader, existing);
  ::close(reader);
  return existing;
}

// Two locks, for each covers what the other does not. flock's belongs to the
// open file: it keeps out another open of the same file, even one of this
// process. fcntl's belongs to the process: it keeps out another process that
// writes through the very same open file, as two runs do whose standard
// output the shell sent into one file. Neither binds a program that takes no
// lock (both are advisory), fcntl's goes when this process closes any
// descriptor of the file, and some file systems refuse both (ENOLCK, EINVAL,
// EOPNOTSUPP): such a file is written without a lock.
LockResult LockForThisRun(int fd, FileError& error) {
  bool locked = false;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    locked = true;
  } else if (IsConflict(errno)) {
    error = {FileError::Kind::InUse, errno};
    return LockResult::Conflict;
  }
  struct flock whole = {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;  // l_start and l_len 0: every byte, those still to come too
  if (::fcntl(fd, F_SETLK, &whole) == 0) return LockResult::Locked;
  if (IsConflict(errno)) {
    error = {FileError::Kind::InUse, errno};
    return LockResult::Conflict;
  }
  return locked ? LockResult::Locked : LockResult::Unsupported;
}

DescriptorOutput::DescriptorOutput(int fd, bool created, bool owned, Existing existing, std::string path)
    : SystemOutput(created, std::move(existing)), fd_(fd), owned_(owned), path_(std::move(path)) {}

DescriptorOutput::~DescriptorOutput() { Close(); }

bool DescriptorOutput::Write(const char* data, std::size_t size) {
  while (size > 0 && fd_ >= 0) {
    const ssize_t written = ::write(fd_, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      RememberErrno(errno);
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return size == 0;
}

bool DescriptorOutput::Flush() {
  if (fd_ < 0) return false;
  if (::fsync(fd_) == 0) return true;
  RememberErrno(errno);
  return false;
}

bool DescriptorOutput::Truncate(std::uint64_t size) {
  struct stat info;
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return false;
  if (!S_ISREG(info.st_mode)) return true;
  return ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

bool DescriptorOutput::Close() {
  if (fd_ < 0) return !Error();
  if (owned_ && ::close(fd_) != 0) RememberErrno(errno);
  fd_ = -1;
  return !Error();
}

bool NameLeadsTo(const std::string& path, int fd) {
  struct stat held, named;
  if (path.empty() || ::fstat(fd, &held) != 0 || ::lstat(path.c_str(), &named) != 0) return false;
  return S_ISREG(held.st_mode) && S_ISREG(named.st_mode) && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

void DescriptorOutput::Discard() {
  if (fd_ >= 0 && owned_ && Created() && NameLeadsTo(path_, fd_)) ::unlink(path_.c_str());
  Close();
}

void DescriptorOutput::RememberErrno(int number) { Remember(FromErrno(number != 0 ? number : EIO)); }

}  // namespace posix_files
