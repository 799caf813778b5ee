// marc2tab: the command-line converter, on the same conversion as the window,
// writing the same bytes. It speaks Chinese or English, as the user's locale
// or --lang says: its reasons are the window's own texts.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/field_list_files.h"
#include "app/messages.h"
#include "census/census.h"
#include "census_report.h"
#include "cli_texts.h"
#include "command_line.h"
#include "console.h"
#include "conversion.h"
#include "marc/field_list.h"
#include "program_arguments.h"
#include "standard_output.h"

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;

void Say(const std::string& text) { std::fprintf(stderr, "marc2tab: %s\n", text.c_str()); }

// The language of every message: the user's, or --lang once the arguments are read.
Language language = LanguageOfUser();

Messages Texts() { return Messages(language); }

void ReportSummary(const RunSummary& summary, TextEncoding output, const std::string& path) {
  const Messages texts = Texts();
  Say(texts.Converted(summary));
  std::fprintf(stderr, "  %s\n", texts.OutputNamed(path, summary.sheets).c_str());
  for (const MalformedRecord& record : summary.firstMalformed)
    std::fprintf(stderr, "  %s\n", texts.Located(summary, record).c_str());
  const auto listed = static_cast<std::int64_t>(summary.firstMalformed.size());
  if (summary.malformed > listed)
    std::fprintf(stderr, "  %s\n", texts.MoreMalformed(summary.malformed - listed).c_str());
  if (summary.utf8Records > 0) std::fprintf(stderr, "  %s\n", texts.ReadAsUtf8(summary.utf8Records).c_str());
  const std::string overridden = texts.Overridden(summary);
  if (!overridden.empty()) std::fprintf(stderr, "  %s\n", overridden.c_str());
  if (summary.unwritable > 0) std::fprintf(stderr, "  %s\n", texts.Unwritable(summary, output).c_str());
  if (summary.cutValues > 0) std::fprintf(stderr, "  %s\n", texts.CutValues(summary).c_str());
  if (summary.deletedControls > 0) std::fprintf(stderr, "  %s\n", texts.DeletedControls(summary).c_str());
}

// The field list of --fields: as given, or from the file named after "@",
// read as the window reads a list file; nullopt when that file is refused,
// said why.
std::optional<std::string> FieldListOf(const CommandLine& line) {
  const std::string given = line.fields.value_or(DefaultFieldList);
  if (given.empty() || given[0] != '@') return given;
  const std::string path = given.substr(1);
  ListFileRead read = ReadFieldListFile(LocalFileSystem(), path);
  if (read.problem == ListFileRead::Problem::None) return std::move(read.list);
  Say(CliTexts(language).ListFileRefused(read.problem, path, Texts().Reason(read.error)));
  return std::nullopt;
}

ConversionRequest RequestOf(const CommandLine& line, const std::string& fieldList, const Messages& texts) {
  ConversionRequest request;
  request.inputPaths = line.inputs;
  if (line.log) request.log = {*line.log, &texts, kProblemLogLines};
  request.outputPath = line.output;
  request.output = OutputTypeOf(line, line.output);
  request.outputMode = line.append ? OutputMode::Append : line.replace ? OutputMode::Replace : OutputMode::CreateNew;
  request.items = ParseFieldList(fieldList);
  if (line.join) request.joinSeparator = *line.join;
  request.header = line.header;
  request.language = language;  // of the names in the header
  return request;
}

// Warnings change nothing of what is written, nor the exit status.
void Warn(const std::string& text) { Say(CliTexts(language).Warning(text)); }

int Convert(const CommandLine& line) {
  const std::optional<std::string> fieldList = FieldListOf(line);
  if (!fieldList) return kExitUsage;
  StandardOutputFiles files(LocalFileSystem());
  const Messages texts = Texts();
  const ConversionRequest request = RequestOf(line, *fieldList, texts);
  const std::vector<std::string> unmatchable = ItemsThatCannotMatch(request.items);
  if (!unmatchable.empty()) Warn(Texts().CannotMatch(unmatchable));
  ProgressLine progress(StandardErrorIsTerminal(), CliTexts(language));
  const RunSummary summary = Convert(request, files, [&](const RunProgress& done) {
    progress.Show(done);
    return true;
  });
  progress.End();
  // A log that could not be written fails no conversion.
  if (line.log) {
    const std::string logged = texts.LogNamed(summary, *line.log);
    if (summary.logFailure) Warn(logged);
    if (!summary.logFailure && !logged.empty()) Say(logged);
  }
  if (summary.outcome == RunSummary::Outcome::Completed) {
    ReportSummary(summary, FormatOf(request.output).encoding, line.output);
    if (summary.records > 0 && !summary.emptyColumns.empty()) {
      Warn(Texts().EmptyColumns(summary.emptyColumns, summary.emptyColumnHints));
    }
    return kExitConverted;
  }
  if (summary.failure.fileError.kind == FileError::Kind::Exists) {
    Say(Texts().ExistsWithoutAppend(line.output, !FormatOf(request.output).appendable));
    return kExitUsage;
  }
  Say(Texts().Failed(summary.failure, Work::Conversion));
  return summary.outcome == RunSummary::Outcome::Refused ? kExitUsage : kExitFileError;
}

int TakeCensusOf(const CommandLine& line) {
  ProgressLine progress(StandardErrorIsTerminal(), CliTexts(language));
  const Census census = TakeCensus(LocalFileSystem(), line.inputs, [&](std::int64_t records, std::uint64_t bytesRead) {
    progress.Show({records, bytesRead});
    return true;
  });
  progress.End();
  if (census.outcome != Census::Outcome::Completed) {
    Say(Texts().Failed(census.failure, Work::Census));
    return kExitFileError;
  }
  return WriteToStandardOutput(CensusReport(census, Texts(), CliTexts(language))) ? kExitConverted : kExitFileError;
}

int Main(int argc, char** argv) {
  const ParsedCommandLine parsed = ParseCommandLine(ProgramArguments(argc, argv));
  language = parsed.commandLine.language;
  const std::string usage = CliTexts(language).Usage();
  if (parsed.commandLine.help) {
    std::fputs(usage.c_str(), stdout);
    return kExitConverted;
  }
  if (!parsed.error.empty()) {
    Say(parsed.error);
    std::fprintf(stderr, "\n%s", usage.c_str());
    return kExitUsage;
  }
  return parsed.commandLine.census ? TakeCensusOf(parsed.commandLine) : Convert(parsed.commandLine);
}

}  // namespace

int main(int argc, char** argv) {
  PrepareStandardStreams();
  // Whatever goes wrong, the lines written so far stay, and the caller
  // learns of it from the exit status.
  try {
    return Main(argc, argv);
  } catch (const std::exception& e) {
    Say(Texts().Failed(FailureOf(e), Work::Conversion));
  }
  return kExitFileError;
}
