#pragma once
// The new file a replacement writes before it takes its target's place:
// hidden, and marked for deletion while it is written, so that a run killed
// meanwhile leaves nothing behind; the mark is taken off only for the
// rename. It shares no deletion, which tells a later run that a temporary it
// cannot delete belongs to a run still going.
#include <windows.h>

#include <string>

#include "file_system.h"
#include "win32_handles.h"

namespace win32_files {

// A new file in target's folder; empty with error set on failure.
win32::FileHandle CreateTemporaryBeside(const std::wstring& target, FileError& error);

// Gives the file target's name through its handle: over the file there when
// replace, else only where there is none (Exists); then the attributes.
FileError PutInPlace(HANDLE file, const std::wstring& target, bool replace, DWORD attributes);

// Deletes the temporaries that runs on target left when they were killed
// between taking the mark off and the rename: those no run holds.
void RemoveLeftovers(const std::wstring& target);

}  // namespace win32_files
