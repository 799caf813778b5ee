#pragma once
// What a replacement learns of the file it replaces, and keeps of it: the
// file a link names, whether it may be replaced now, and who may read it.
#include <string>

#include "file_system.h"

namespace posix_files {

// The file that path names through symbolic links: path itself when it is
// no link. The file need not exist (a dangling link names one to create).
std::string FollowLinks(const std::string& path, FileError& error);

// Why the file at target may not be replaced now: a folder, a file where a
// new one was asked for (Exists), a read-only file, or one another run
// holds. None when it may, or when there is no file yet.
FileError RefusalToReplace(const std::string& target, bool replace);

// Gives the new file behind fd the permission bits of the file at target,
// and its owner and group where this process may; nothing when there is
// no file at target.
FileError TakeOwnerAndMode(int fd, const std::string& target);

}  // namespace posix_files
