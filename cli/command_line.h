#pragma once
// marc2tab [--fields LIST|@FILE] [--header codes|names|both] [--join SEP] [--format tsv|xlsx]
//         [--encoding gbk|utf-8] [--append | --replace] [--log FILE] [--lang zh|en] INPUT... OUTPUT
// marc2tab --census INPUT...
#include <optional>
#include <string>
#include <vector>

#include "conversion.h"
#include "text/language.h"
#include "text/text_encoding.h"

struct CommandLine {
  bool help = false;
  bool census = false;  // the fields of INPUT instead of a conversion
  bool append = false;
  bool replace = false;
  // The word given to --format, one of the table formats' words.
  std::optional<std::string> format;
  std::optional<std::string> fields;  // UTF-8, the field-list box's grammar, or "@" and a file holding it
  HeaderStyle header = HeaderStyle::Codes;
  std::optional<std::string> join;  // UTF-8, between the occurrences of "701a*"
  TextEncoding encoding = TextEncoding::Gbk;
  std::vector<std::string> inputs;        // read one after the other
  std::string output;                     // "-" is standard output
  std::optional<std::string> log;         // the log of problems
  Language language = Language::Chinese;  // of the messages: --lang, else the user's
};

// The parsed arguments, or an error message for a wrong call.
struct ParsedCommandLine {
  CommandLine commandLine;
  std::string error;
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The kind of table to write: as --format and --encoding say, or else a
// workbook when the output's name ends in .xlsx, or else text.
OutputType OutputTypeOf(const CommandLine& line, const std::string& output);
