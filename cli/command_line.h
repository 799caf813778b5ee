#pragma once
// marc2tab [--fields LIST] [--join SEP] [--format tsv|xlsx] [--encoding gbk|utf-8] [--append | --replace] INPUT OUTPUT
// marc2tab --census INPUT
#include <optional>
#include <string>
#include <vector>

#include "conversion.h"
#include "text/text_encoding.h"

struct CommandLine {
  bool help = false;
  bool census = false;  // the fields of INPUT instead of a conversion
  bool append = false;
  bool replace = false;
  // Given, or else a workbook when OUTPUT ends in .xlsx.
  std::optional<TableFormat> format;
  std::optional<std::string> fields;  // UTF-8, the field-list box's grammar
  std::optional<std::string> join;    // UTF-8, between the occurrences of "701a*"
  TextEncoding encoding = TextEncoding::Gbk;
  std::string input;
  std::string output;  // "-" is standard output
};

// The parsed arguments, or an error message for a wrong call.
struct ParsedCommandLine {
  CommandLine commandLine;
  std::string error;
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// How to call marc2tab, with the default field list.
std::string Usage();
