#pragma once
// What a replacement learns of the file it replaces, and keeps of it: the
// file a link names, whether it may be replaced now, and its attributes.
#include <windows.h>

#include <string>

#include "file_system.h"

namespace win32_files {

// The file that path names through a symbolic link, by its final path:
// path itself when it is no link. The file need not exist (a dangling link
// names one to create).
std::wstring FollowLinks(const std::wstring& path);

// Why the file at target may not be replaced now: a folder, a file where a
// new one was asked for (Exists), a read-only file, or one another program
// holds. None when it may, or when there is no file yet.
FileError RefusalToReplace(const std::wstring& target, bool replace);

// Whether a program holds target open without letting it be deleted (as a
// spreadsheet holds its workbook), which keeps it from being replaced.
bool TargetInUse(const std::wstring& target);

// The attributes the new file is to have: those of the file at target that
// a file can be given, never hidden; a new file's own where there is none.
DWORD AttributesToKeep(const std::wstring& target);

}  // namespace win32_files
