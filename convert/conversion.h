#pragma once
// A conversion as a library call: a record file in, a table out, with the
// codes, the options and a progress callback given, and a summary back. It
// asks nothing: the window's questions and marc2tab's options both end up
// as the request.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "file_system.h"
#include "marc/column_title.h"
#include "problem_log.h"
#include "report/failure.h"
#include "table/table_formats.h"
#include "text/language.h"
#include "text/text_encoding.h"

enum class MalformedKind {
  Refused,        // directory length not a multiple of 12: a row of empty cells
  Unreadable,     // no field terminator at or after byte 25
  BadCell,        // a directory entry with an unusable Length or Start: its field cannot be read
  TooLong,        // longer than the largest record accepted: a row of empty cells
  NoRecordEnd,    // the input ends inside the record: converted as far as it goes
  FieldsOverlap,  // directory entries point at overlapping bytes: read in part
};

// Where a record is: its file, an index into the request's inputs, and its
// number there (1-based, counting records only); number 0 for none.
struct RecordPlace {
  std::size_t file = 0;
  std::int64_t number = 0;
};

struct MalformedRecord {
  std::int64_t number = 0;   // 1-based, counting records only, within its file
  std::uint64_t offset = 0;  // byte offset of the record in its file
  MalformedKind kind = MalformedKind::Refused;
  std::size_t file = 0;  // an index into the request's inputs
};

constexpr std::size_t kMalformedRecordsKept = 10;

struct ConversionRequest {
  // UTF-8, read one after the other into one table under one header; a path
  // given twice is read twice.
  std::vector<std::string> inputPaths;
  std::string outputPath;  // UTF-8
  OutputType output = OutputType::GbkText;
  OutputMode outputMode = OutputMode::CreateNew;
  std::vector<std::string> items;    // the column codes, as the field list gives them (UTF-8)
  std::string joinSeparator = "; ";  // UTF-8, between the occurrences of "701a*"
  HeaderStyle header = HeaderStyle::Codes;
  Language language = Language::Chinese;  // of the names in the header, the only words of the output
  ProblemLogRequest log;                  // a line for every problem met, when a path is given
  // The threads the rows are made on: 0 for one per core, 1 for none but
  // the caller's. The output is the same for any number.
  unsigned threads = 0;
};

struct RunProgress {
  std::int64_t records = 0;     // records converted so far
  std::uint64_t bytesRead = 0;  // input bytes consumed so far, of every input
  std::uint64_t inputSize = 0;  // of every input; 0 when not known (a pipe)
};
// Called after every record; false stops the run there, at a line boundary.
using ProgressCallback = std::function<bool(const RunProgress&)>;

struct RunSummary {
  enum class Outcome {
    Completed,
    Failed,   // a file could not be opened, read or written, or the run broke off; failure says why
    Refused,  // the output cannot take this run's lines (another encoding, more columns than a workbook
              // has); left untouched
    Stopped,  // the progress callback stopped it; the output ends at a line boundary
  };
  Outcome outcome = Outcome::Failed;
  std::int64_t records = 0;
  std::int64_t malformed = 0;
  std::vector<MalformedRecord> firstMalformed;  // the first few, for finding them
  std::int64_t utf8Records = 0;                 // records read as UTF-8
  // Records whose bytes plainly contradicted the encoding they declared,
  // each way, and the first of them (0 when none).
  std::int64_t gbkReadAsUtf8 = 0;
  RecordPlace firstGbkReadAsUtf8;
  std::int64_t utf8ReadAsGbk = 0;
  RecordPlace firstUtf8ReadAsGbk;
  std::int64_t unwritable = 0;  // characters the output's encoding could not take
  RecordPlace firstUnwritableRecord;
  std::int64_t unwritableBeyondBmp = 0;  // of them, written as "??" in GBK
  // A workbook's sheets, and the values longer than a cell holds, cut, with
  // the record of the first.
  int sheets = 0;
  std::int64_t cutValues = 0;
  RecordPlace firstCutRecord;
  // A workbook's control characters left out (its cells show only line
  // breaks), with the record of the first.
  std::int64_t deletedControls = 0;
  RecordPlace firstDeletedControlRecord;
  // The items of the columns that had no value in any record (all of them
  // when there was no record).
  std::vector<std::string> emptyColumns;
  // Beside each empty column, the code the file has that it was likely meant
  // to be ("200a" for "200A"), or "".
  std::vector<std::string> emptyColumnHints;
  Failure failure;  // why it failed or was refused
  // Stopped while replacing a file: the file that was there stays as it was.
  bool replacedNothing = false;
  // The inputs read, as the request named them: what RecordPlace and
  // MalformedRecord count in.
  std::vector<std::string> inputs;
  // The log of problems: its lines (0 when there was nothing to log, and no
  // log is left), and why it could not be written, which fails no run.
  std::int64_t loggedProblems = 0;
  bool logCutShort = false;  // more problems than the log takes
  Failure logFailure;
};

// The name of a file without its folder ("a.iso" of "D:\\data\\a.iso").
std::string NameWithoutFolder(const std::string& path);

RunSummary Convert(const ConversionRequest& request, FileSystem& files, const ProgressCallback& progress = {});
