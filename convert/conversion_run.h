#pragma once
// The conversion run of the start button: checks the input path, saves the
// field list, asks, lets the user choose the output file, converts record by
// record and ends with a message. It reaches the window and the files only
// through RunWindow and FileSystem.
#include <cstdint>
#include <string>
#include <vector>

#include "file_system.h"
#include "run_window.h"

enum class MalformedKind {
  Refused,     // directory length not a multiple of 12: a row of empty cells
  Unreadable,  // no field terminator at or after byte 25
  BadCell,     // a matching directory entry with an unusable Length or Start
};

struct MalformedRecord {
  std::int64_t number = 0;     // 1-based, counting records only
  std::uint64_t offset = 0;    // byte offset of the record in the input
  MalformedKind kind = MalformedKind::Refused;
};

struct RunSummary {
  enum class Outcome {
    NotStarted,  // no input path, or no such file: nothing happened
    Declined,    // the user said No or cancelled the save dialog
    Completed,
    Failed,      // a file could not be opened, read or written; error holds the message
    Stopped,     // the window closed during the run; the output ends at a line boundary
  };
  Outcome outcome = Outcome::NotStarted;
  std::int64_t records = 0;
  std::int64_t malformed = 0;
  std::vector<MalformedRecord> firstMalformed;  // the first few, for finding them
  std::string error;
};

constexpr std::size_t kMalformedRecordsKept = 10;

RunSummary RunConversion(RunWindow& window, FileSystem& files);
