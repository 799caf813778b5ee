#pragma once
// The conversion run of the start button: checks the input path, saves the
// field list, asks, lets the user choose the output file, converts record by
// record and ends with a message. It reaches the window and the files only
// through RunWindow and FileSystem.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "file_system.h"
#include "run_window.h"
#include "text_encoding.h"

enum class MalformedKind {
  Refused,        // directory length not a multiple of 12: a row of empty cells
  Unreadable,     // no field terminator at or after byte 25
  BadCell,        // a matching directory entry with an unusable Length or Start
  TooLong,        // longer than the largest record accepted: a row of empty cells
  NoRecordEnd,    // the input ends inside the record: converted as far as it goes
  FieldsOverlap,  // directory entries point at overlapping bytes: read in part
};

struct MalformedRecord {
  std::int64_t number = 0;     // 1-based, counting records only
  std::uint64_t offset = 0;    // byte offset of the record in the input
  MalformedKind kind = MalformedKind::Refused;
};

struct RunOptions {
  std::string joinSeparator = "; ";  // UTF-8, between the occurrences of "701a*"
  TextEncoding outputEncoding = TextEncoding::Gbk;
  // Given by the caller (marc2tab's --append), or else decided by the window's
  // answer: an existing file appended to, a missing one created anew.
  std::optional<OutputMode> outputMode;
};

struct RunSummary {
  enum class Outcome {
    NotStarted,  // no input path, or no such file: nothing happened
    Declined,    // the user said No or cancelled the save dialog
    Completed,
    Failed,      // a file could not be opened, read or written, or the run broke off; error says why
    Refused,     // the output cannot take this run's lines (another encoding); left untouched
    Stopped,     // the window closed during the run; the output ends at a line boundary
  };
  Outcome outcome = Outcome::NotStarted;
  std::int64_t records = 0;
  std::int64_t malformed = 0;
  std::vector<MalformedRecord> firstMalformed;  // the first few, for finding them
  std::int64_t utf8Records = 0;                 // records read as UTF-8
  std::int64_t unwritable = 0;                  // characters the output's encoding could not take
  std::int64_t firstUnwritableRecord = 0;       // 0 when there were none
  std::string error;
  FileError fileError;  // of a file that failed, when one did
};

constexpr std::size_t kMalformedRecordsKept = 10;

RunSummary RunConversion(RunWindow& window, FileSystem& files, const RunOptions& options = {});
