// The file a replacement writes, on Linux: unnamed (O_TMPFILE) and linked
// into place at the end, or, where the file system makes no unnamed files,
// under a hidden name that is renamed into place.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <memory>
#include <vector>

#include "descriptor_files.h"
#include "path_parts.h"
#include "temporary_file.h"

namespace posix_files {

namespace {

constexpr int kNameTries = 100;
constexpr char kSuffix[] = ".tmp";

std::string HiddenPrefix(const std::string& target) { return "." + NameOf(target) + "."; }

// ".NAME.PID-N.tmp" beside the target: a name no other run picks.
std::string HiddenName(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return FolderOf(target) + HiddenPrefix(target) + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
         kSuffix;
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (const char c : text)
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return false;
  return true;
}

// Whether name is one HiddenName gives the target's temporaries, and so
// nothing a person made.
bool IsTemporaryName(const std::string& name, const std::string& target) {
  const std::string prefix = HiddenPrefix(target);
  const std::size_t suffixLength = sizeof kSuffix - 1;
  if (name.size() <= prefix.size() + suffixLength || name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - suffixLength, suffixLength, kSuffix) != 0)
    return false;
  const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - suffixLength);
  const std::size_t dash = middle.find('-');
  return dash != std::string::npos && AllDigits(middle.substr(0, dash)) && AllDigits(middle.substr(dash + 1));
}

// The lock that tells a live run's temporary from a leftover. False only
// when another holds it; a file system without locks is written unlocked.
bool LockTemporary(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK; }

// Kernels and file systems without unnamed files answer O_TMPFILE so.
bool NoUnnamedFiles(int number) { return number == EOPNOTSUPP || number == EISDIR || number == EINVAL; }

int CreateUnnamed(const std::string& target) {
  const std::string folder = FolderOf(target);
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  // Locked, for it is given a hidden name before it replaces a file.
  if (fd >= 0) LockTemporary(fd);
  return fd;
}

// Locked before it is written; and a run that cleared it away as a
// leftover between its making and its lock makes another.
int CreateNamed(const std::string& target, std::string& name) {
  for (int tries = 0; tries < kNameTries; ++tries) {
    name = HiddenName(target);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return -1;
    if (fd < 0) continue;
    if (LockTemporary(fd) && NameLeadsTo(name, fd)) return fd;
    ::close(fd);
  }
  errno = EEXIST;
  return -1;
}

// A name for the unnamed file behind fd. AT_EMPTY_PATH wants a capability
// most processes lack (ENOENT) or a newer kernel; the descriptor's name
// under /proc wants neither.
bool Link(int fd, const std::string& path) {
  if (::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) return true;
  if (errno != ENOENT && errno != EINVAL && errno != EPERM) return false;
  const std::string byNumber = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(AT_FDCWD, byNumber.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

FileError RenameOver(const std::string& from, const std::string& target) {
  if (::rename(from.c_str(), target.c_str()) == 0) return {};
  const int number = errno;
  ::unlink(from.c_str());
  return FromErrno(number, target);
}

// A link fails where a file is (Exists); one cannot replace it, so a hidden
// name comes first and is renamed over the target.
FileError PlaceUnnamed(int fd, const std::string& target, bool replace) {
  if (!replace) return Link(fd, target) ? FileError{} : FromErrno(errno, target);
  for (int tries = 0; tries < kNameTries; ++tries) {
    const std::string hidden = HiddenName(target);
    if (Link(fd, hidden)) return RenameOver(hidden, target);
    if (errno != EEXIST) break;
  }
  return FromErrno(errno, target);
}

FileError PlaceNamed(const std::string& name, const std::string& target, bool replace) {
  if (replace) return ::rename(name.c_str(), target.c_str()) == 0 ? FileError{} : FromErrno(errno, target);
  if (::renameat2(AT_FDCWD, name.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return {};
  if (errno != EINVAL && errno != ENOSYS) return FromErrno(errno, target);
  // A file system without that kind of rename: a second name fails just the same when one is there.
  if (::link(name.c_str(), target.c_str()) != 0) return FromErrno(errno, target);
  ::unlink(name.c_str());
  return {};
}

// Only a file that no run holds: a live run keeps its temporary locked
// until it has taken its target's place.
void RemoveUnheld(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && NameLeadsTo(path, fd)) ::unlink(path.c_str());
  ::close(fd);
}

std::vector<std::string> TemporaryNamesBeside(const std::string& target) {
  std::vector<std::string> names;
  const std::string folder = FolderOf(target);
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
  if (!listing) return names;
  while (const dirent* entry = ::readdir(listing.get()))
    if (IsTemporaryName(entry->d_name, target)) names.push_back(folder + entry->d_name);
  return names;
}

}  // namespace

TemporaryFile CreateTemporaryBeside(const std::string& target, FileError& error) {
  TemporaryFile temporary;
  temporary.fd = CreateUnnamed(target);
  if (temporary.fd < 0 && NoUnnamedFiles(errno)) temporary.fd = CreateNamed(target, temporary.name);
  if (temporary.fd < 0) error = FromErrno(errno, target);
  return temporary;
}

FileError PutInPlace(const TemporaryFile& temporary, const std::string& target, bool replace) {
  return temporary.name.empty() ? PlaceUnnamed(temporary.fd, target, replace)
                                : PlaceNamed(temporary.name, target, replace);
}

void RemoveLeftovers(const std::string& target) {
  for (const std::string& path : TemporaryNamesBeside(target)) RemoveUnheld(path);
}

}  // namespace posix_files
