#pragma once
// The field list read from and written to a text file of its own, through
// the file system, so that colleagues can pass a list around.
#include <cstdint>
#include <string>

#include "file_system.h"

// A list file is a few kilobytes; a file much larger is something else,
// and is not read into memory whole.
inline constexpr std::uint64_t kLargestListFile = 4u << 20;

struct ListFileRead {
  enum class Problem {
    None,
    CannotOpen,
    CannotRead,
    TooLarge,      // more than kLargestListFile bytes
    NotUtf8,       // not valid UTF-8
    TooManyItems,  // more items than a list may have
  };
  Problem problem = Problem::None;
  FileError error;   // why it could not be opened or read
  std::string list;  // the field-list box's text, when there is no problem
};

ListFileRead ReadFieldListFile(FileSystem& files, const std::string& path);

// Writes the list as a whole new file in place of any file of that name;
// the error when it could not be (nothing changed then).
FileError WriteFieldListFile(FileSystem& files, const std::string& path, const std::string& list);
