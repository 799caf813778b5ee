// The file a replacement takes the place of, on POSIX systems.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "descriptor_files.h"
#include "path_parts.h"
#include "replacement_target.h"

namespace posix_files {

namespace {

// As many links in a row as the system itself follows before it gives up.
constexpr int kMostLinks = 40;

// What the link at path holds, or "" when it cannot be read.
std::string LinkContent(const std::string& path) {
  std::string content(PATH_MAX, '\0');
  const ssize_t length = ::readlink(path.c_str(), content.data(), content.size());
  if (length < 0 || static_cast<std::size_t>(length) >= content.size()) return std::string();
  content.resize(static_cast<std::size_t>(length));
  return content;
}

// Whether another run holds the target: it would go on writing into a file
// that is no longer there.
bool TargetInUse(const std::string& target) {
  const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

// A file without a write bit for anyone is read-only even for root, whom
// access() lets write whatever the bits say; one this process may not write
// is read-only to it.
FileError ReadOnlyReason(const std::string& target, const struct stat& info) {
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return {FileError::Kind::ReadOnlyFile, EACCES};
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0) return {};
  if (errno == EACCES) return {FileError::Kind::ReadOnlyFile, EACCES};
  if (errno == EROFS) return FromErrno(EROFS);
  return {};
}

}  // namespace

std::string FollowLinks(const std::string& path, FileError& error) {
  std::string current = path;
  for (int links = 0; links < kMostLinks; ++links) {
    struct stat info;
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    const std::string named = LinkContent(current);
    if (named.empty()) return current;
    current = named.front() == '/' ? named : FolderOf(current).append(named);
  }
  error = FromErrno(ELOOP);
  return current;
}

FileError RefusalToReplace(const std::string& target, bool replace) {
  struct stat info;
  if (::stat(target.c_str(), &info) != 0) return {};
  if (S_ISDIR(info.st_mode)) return FromErrno(EISDIR);
  if (!replace) return FromErrno(EEXIST);
  if (const FileError readOnly = ReadOnlyReason(target, info)) return readOnly;
  if (TargetInUse(target)) return {FileError::Kind::InUse, EWOULDBLOCK};
  return {};
}

FileError TakeOwnerAndMode(int fd, const std::string& target) {
  struct stat old;
  if (::stat(target.c_str(), &old) != 0) return {};
  // The owner first, for a change of owner clears the set-ID bits that the
  // mode then puts back. Only root may give a file away: others keep the
  // group alone, where they belong to it.
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
    if (errno != EPERM) return FromErrno(errno);
    if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0 && errno != EPERM) return FromErrno(errno);
  }
  if (::fchmod(fd, old.st_mode & 07777) != 0) return FromErrno(errno);
  return {};
}

}  // namespace posix_files
