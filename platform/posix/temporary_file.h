#pragma once
// The new file a replacement writes before it takes its target's place.
// Unnamed where the file system allows it, so that a run killed meanwhile
// leaves nothing behind; else under a hidden name beside the target, locked
// while it is written, so that a later run can tell what a killed run left
// from the file of a run still going.
#include <string>

#include "file_system.h"

namespace posix_files {

struct TemporaryFile {
  int fd = -1;
  std::string name;  // "" while it has none
};

// A new file in target's folder; fd -1 and error set on failure.
TemporaryFile CreateTemporaryBeside(const std::string& target, FileError& error);

// Gives the file target's name: over the file there when replace, else only
// where there is none, even one made a moment ago (Exists).
FileError PutInPlace(const TemporaryFile& temporary, const std::string& target, bool replace);

// Deletes the temporaries that runs on target left when they were killed:
// those of its names that no run holds locked.
void RemoveLeftovers(const std::string& target);

}  // namespace posix_files
