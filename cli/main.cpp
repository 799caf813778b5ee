// marc2tab: the command-line converter, on the same conversion run as the
// window, writing the same bytes.
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "console_window.h"
#include "conversion_run.h"
#include "field_list.h"
#include "program_arguments.h"
#include "run_messages.h"
#include "stdio_files.h"
#include "stdout_file_system.h"

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;

const char* Describe(MalformedKind kind) {
  switch (kind) {
    case MalformedKind::Refused: return "refused (directory length not a multiple of 12), written as empty cells";
    case MalformedKind::Unreadable: return "unreadable (no field terminator after the leader), written as empty cells";
    case MalformedKind::BadCell: return "a directory entry with an unusable length or start, written as an empty cell";
  }
  return "";
}

void ReportSummary(const RunSummary& summary) {
  std::fprintf(stderr, "marc2tab: converted %lld records, %lld malformed\n", static_cast<long long>(summary.records),
               static_cast<long long>(summary.malformed));
  for (const MalformedRecord& record : summary.firstMalformed) {
    std::fprintf(stderr, "  record %lld at byte %llu: %s\n", static_cast<long long>(record.number),
                 static_cast<unsigned long long>(record.offset), Describe(record.kind));
  }
  if (summary.malformed > static_cast<long long>(summary.firstMalformed.size())) {
    std::fprintf(stderr, "  ... and %lld more\n",
                 static_cast<long long>(summary.malformed - static_cast<long long>(summary.firstMalformed.size())));
  }
}

int Convert(const CommandLine& line) {
  StdoutFileSystem files(LocalFileSystem());
  if (!files.Exists(line.input)) {
    std::fprintf(stderr, "marc2tab: %s\n", run_messages::CannotOpenInput(line.input, ENOENT).c_str());
    return kExitFileError;
  }
  if (files.Exists(line.output) && !line.append) {
    std::fprintf(stderr, "marc2tab: %s exists; use --append to add to it (left untouched)\n", line.output.c_str());
    return kExitUsage;
  }
  ConsoleWindow window(line.input, line.output, line.fields.value_or(DefaultFieldList), IsTerminal(stderr));
  const RunSummary summary = RunConversion(window, files);
  window.EndProgress();
  if (summary.outcome == RunSummary::Outcome::Failed) {
    std::fprintf(stderr, "marc2tab: %s\n", summary.error.c_str());
    return kExitFileError;
  }
  ReportSummary(summary);
  return kExitConverted;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareConsoleForUtf8();
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
