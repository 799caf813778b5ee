#pragma once
// A run's log of problems: one line for every record that could not be read
// in full or was read in another encoding than it declared, and for every
// cell whose value was cut or had characters replaced, so that a cataloguer
// can find each one and fix it at the source. UTF-8 with a byte order mark,
// tab-delimited with a header. It replaces the log an earlier run left, and
// a run with nothing to log removes that one. The words (the header, the
// reasons) are the front end's.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "report/failure.h"
#include "text/recoder.h"
#include "text/text_encoding.h"

enum class ProblemKind {
  // The record could not be read in full, as MalformedKind says.
  Refused,
  Unreadable,
  BadCell,
  TooLong,
  NoRecordEnd,
  FieldsOverlap,
  DeclaredGbkReadAsUtf8,  // the record's bytes said otherwise than its 100 field
  DeclaredUtf8ReadAsGbk,
  CutValue,        // a value longer than a workbook's cell holds, cut
  WrittenAsMarks,  // characters the output's encoding lacks, written as "?" ("??"), or U+FFFD in UTF-8
};
constexpr std::size_t kProblemKinds = 10;

// The log's words, in the interface's language.
class ProblemWords {
 public:
  virtual ~ProblemWords() = default;
  // Six cells: file, record number, byte offset, 001, column, what happened.
  virtual std::vector<std::string> LogHeader() const = 0;
  virtual std::string LogReason(ProblemKind kind, TextEncoding output) const = 0;
  // The last line of a log that stopped at its bound: the lines written and
  // the problems left out.
  virtual std::string LogCutShort(std::int64_t lines, std::int64_t more) const = 0;
};

constexpr std::int64_t kProblemLogLines = 1000000;

struct ProblemLogRequest {
  std::string path;  // UTF-8; "" for no log
  const ProblemWords* words = nullptr;
  std::int64_t mostLines = kProblemLogLines;  // problem lines, the header and the last line aside
};

// Where a problem is and what it is about.
struct ProblemPlace {
  const std::string* file = nullptr;          // UTF-8, as the run was given it
  std::int64_t record = 0;                    // within its file
  std::uint64_t offset = 0;                   // of the record in its file
  std::string_view id;                        // the 001's bytes, "" when it has none or cannot be read
  TextEncoding encoding = TextEncoding::Gbk;  // of those bytes
};

class ProblemLog {
 public:
  ProblemLog(FileSystem& files, const ProblemLogRequest& request, TextEncoding output);
  ProblemLog(const ProblemLog&) = delete;
  ProblemLog& operator=(const ProblemLog&) = delete;

  bool Wanted() const { return !request_.path.empty() && request_.words != nullptr; }
  // One line; column is the column's item (UTF-8), "" for the whole record.
  void Note(const ProblemPlace& place, std::string_view column, ProblemKind kind);
  // Puts the log in place, or removes an earlier one when there was nothing
  // to log. The lines written, whether it stopped at its bound, and why it
  // could not be written.
  struct Outcome {
    std::int64_t lines = 0;
    bool cutShort = false;
    Failure failure;
  };
  Outcome Finish();

 private:
  bool Open();
  void AppendCell(std::string_view utf8);
  void AppendId(const ProblemPlace& place);
  const std::string& Reason(ProblemKind kind);
  bool Flush();
  void Fail(const FileError& error);

  FileSystem& files_;
  const ProblemLogRequest& request_;
  TextEncoding output_;
  std::unique_ptr<OutputFile> file_;
  std::string buffer_;
  std::string cell_;
  // A log of a million lines is made of few texts: each file's and each
  // reason's, made once.
  const std::string* lastFile_ = nullptr;
  std::string fileCell_;
  std::array<std::string, kProblemKinds> reasons_;
  Recoder fromGbk_;
  Recoder fromUtf8_;
  std::int64_t lines_ = 0;
  std::int64_t leftOut_ = 0;
  Failure failure_;
};
