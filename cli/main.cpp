// marc2tab: the command-line converter, on the same conversion run as the
// window, writing the same bytes.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "command_line.h"
#include "console.h"
#include "conversion_run.h"
#include "field_list.h"
#include "program_arguments.h"
#include "run_messages.h"
#include "standard_output.h"

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;

const char* Describe(MalformedKind kind) {
  switch (kind) {
    case MalformedKind::Refused: return "refused (directory length not a multiple of 12), written as empty cells";
    case MalformedKind::Unreadable: return "unreadable (no field terminator after the leader), written as empty cells";
    case MalformedKind::BadCell: return "a directory entry with an unusable length or start, written as an empty cell";
    case MalformedKind::TooLong: return "longer than 16 MiB, written as empty cells and skipped to its end";
    case MalformedKind::NoRecordEnd: return "cut short (the file ends inside it), converted as far as it goes";
    case MalformedKind::FieldsOverlap: return "directory entries point at overlapping data, read in part";
  }
  return "";
}

void ReportSummary(const RunSummary& summary, TextEncoding output) {
  std::fprintf(stderr, "marc2tab: converted %lld records, %lld malformed\n", static_cast<long long>(summary.records),
               static_cast<long long>(summary.malformed));
  for (const MalformedRecord& record : summary.firstMalformed) {
    std::fprintf(stderr, "  record %lld at byte %llu: %s\n", static_cast<long long>(record.number),
                 static_cast<unsigned long long>(record.offset), Describe(record.kind));
  }
  const auto listed = static_cast<long long>(summary.firstMalformed.size());
  if (summary.malformed > listed) std::fprintf(stderr, "  ... and %lld more\n", summary.malformed - listed);
  if (summary.utf8Records > 0) {
    std::fprintf(stderr, "  %lld records read as UTF-8\n", static_cast<long long>(summary.utf8Records));
  }
  if (summary.unwritable > 0) {
    std::fprintf(stderr, "  %lld characters could not be written in %s (written as %s); the first in record %lld\n",
                 static_cast<long long>(summary.unwritable), output == TextEncoding::Gbk ? "GBK" : "UTF-8",
                 output == TextEncoding::Gbk ? "?" : "U+FFFD", static_cast<long long>(summary.firstUnwritableRecord));
  }
}

int ExistsWithoutAppend(const std::string& output) {
  std::fprintf(stderr, "marc2tab: %s exists; use --append to add to it (left untouched)\n", output.c_str());
  return kExitUsage;
}

int Convert(const CommandLine& line) {
  ConsoleFiles files(LocalFileSystem());
  if (!files.Exists(line.input)) {
    const FileError missing{FileError::Kind::NotFound, 0};
    std::fprintf(stderr, "marc2tab: %s\n", run_messages::CannotOpenInput(line.input, missing).c_str());
    return kExitFileError;
  }
  // Before the question of appending, which cannot help here.
  if (files.IsSameFile(line.input, line.output)) {
    std::fprintf(stderr, "marc2tab: %s\n", run_messages::OutputIsInput(line.output).c_str());
    return kExitFileError;
  }
  if (files.Exists(line.output) && !line.append) return ExistsWithoutAppend(line.output);
  ConsoleWindow window(line.input, line.output, line.fields.value_or(DefaultFieldList), StandardErrorIsTerminal());
  RunOptions options;
  if (line.join) options.joinSeparator = *line.join;
  options.outputEncoding = line.encoding;
  options.outputMode = line.append ? OutputMode::Append : OutputMode::CreateNew;
  const RunSummary summary = RunConversion(window, files, options);
  window.EndProgress();
  if (summary.outcome != RunSummary::Outcome::Completed) {
    // Another run created the file since it was looked for.
    if (summary.fileError.kind == FileError::Kind::Exists) return ExistsWithoutAppend(line.output);
    // Nothing here declines or closes; a run that did not complete failed.
    const std::string error = summary.error.empty()
                                  ? run_messages::CannotOpenInput(line.input, {FileError::Kind::NotFound, 0})
                                  : summary.error;
    std::fprintf(stderr, "marc2tab: %s\n", error.c_str());
    return summary.outcome == RunSummary::Outcome::Refused ? kExitUsage : kExitFileError;
  }
  ReportSummary(summary, line.encoding);
  return kExitConverted;
}

int Main(int argc, char** argv) {
  const ParsedCommandLine parsed = ParseCommandLine(ProgramArguments(argc, argv));
  if (parsed.commandLine.help) {
    std::fputs(kUsage, stdout);
    return kExitConverted;
  }
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "marc2tab: %s\n\n%s", parsed.error.c_str(), kUsage);
    return kExitUsage;
  }
  return Convert(parsed.commandLine);
}

}  // namespace

int main(int argc, char** argv) {
  PrepareStandardStreams();
  // Whatever goes wrong, the lines written so far stay, and the caller
  // learns of it from the exit status.
  try {
    return Main(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("marc2tab: out of memory\n", stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "marc2tab: %s\n", e.what());
  }
  return kExitFileError;
}
