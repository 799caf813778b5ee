#pragma once
// What went wrong in a run, a census or a preview, as data: the front ends
// word it in the user's language. No sentence is made here, and no
// exception's own text (which is for programmers) ever reaches a person.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "file_system.h"
#include "text/text_encoding.h"

struct Failure {
  enum class Kind {
    None,
    CannotOpenInput,           // path, fileError
    CannotReadInput,           // path, fileError
    CannotCreateOutput,        // path, fileError
    CannotWriteOutput,         // path, fileError
    OutputIsInput,             // path: appending to the input would read back what was written
    WorkbookCannotBeAppended,  // path
    TooManyColumns,            // items: more than a workbook has columns
    EncodingUnknown,           // path: the output's first bytes, which tell its encoding, cannot be read
    MixedEncodings,            // path, encoding: the output holds the other encoding
    OutOfMemory,               // memory ran out (or a size no memory could hold): the work broke off
    ProgramFault,              // something else broke the work off: a fault of the program's own
    CannotWriteLog,            // path, fileError: the log of problems; the run itself goes on
  };
  Kind kind = Kind::None;
  std::string path;  // UTF-8
  FileError fileError;
  TextEncoding encoding = TextEncoding::Gbk;  // of the lines that could not be added
  std::size_t items = 0;
  // Of a run that had begun writing: the records its output keeps.
  std::optional<std::int64_t> keptRecords;

  explicit operator bool() const { return kind != Kind::None; }
};

// A failure about a file: its path, and what the system said when there was
// a system call to fail.
Failure FileFailure(Failure::Kind kind, std::string path, const FileError& error = {});

// The failure an exception stands for: memory that ran out, or a fault.
Failure FailureOf(const std::exception& error);
