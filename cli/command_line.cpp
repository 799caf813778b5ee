#include "command_line.h"

const char* const kUsage =
    "Usage: marc2tab [--fields LIST] [--join SEP] [--encoding gbk|utf-8] [--append] INPUT OUTPUT\n"
    "\n"
    "Converts a file of ISO 2709 records (UNIMARC/CNMARC, GBK or UTF-8) into\n"
    "tab-delimited text (CR LF): a header line of field codes, then one line per\n"
    "record.\n"
    "\n"
    "  --fields LIST      comma-separated field codes, UTF-8 (tag + subfield code,\n"
    "                     e.g. 200a; 000? gives the record type; 701a* joins every\n"
    "                     occurrence). Default:\n"
    "                     010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,\n"
    "                     225a,330a,606a,690a\n"
    "  --join SEP         between the occurrences of a joined code (default \"; \")\n"
    "  --encoding ENC     of OUTPUT: gbk (default) or utf-8 (begins with a BOM)\n"
    "  --append           add to OUTPUT if it exists (otherwise an existing OUTPUT\n"
    "                     is refused and left untouched)\n"
    "  --help             show this text\n"
    "  OUTPUT             a file name, or - for standard output\n"
    "\n"
    "Exit status: 0 converted, 1 a file could not be read or written or the run\n"
    "broke off, 2 wrong usage, OUTPUT exists without --append, or OUTPUT holds\n"
    "text in the other encoding.\n";

namespace {

// The value of an option given as "--name VALUE" or "--name=VALUE".
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
               std::optional<std::string>& value, std::string& error) {
  const std::string& argument = arguments[i];
  if (argument.rfind(name + "=", 0) == 0) {
    value = argument.substr(name.size() + 1);
    return true;
  }
  if (argument != name) return false;
  if (i + 1 == arguments.size()) {
    error = name + " needs a value";
  } else {
    value = arguments[++i];
  }
  return true;
}

bool ReadEncoding(const std::string& name, TextEncoding& encoding) {
  if (name == "gbk" || name == "GBK") {
    encoding = TextEncoding::Gbk;
  } else if (name == "utf-8" || name == "UTF-8" || name == "utf8") {
    encoding = TextEncoding::Utf8;
  } else {
    return false;
  }
  return true;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  CommandLine& line = parsed.commandLine;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
    const std::string& argument = arguments[i];
    std::optional<std::string> encoding;
    if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
      positional.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help" || argument == "-h") {
      line.help = true;
      return parsed;
    } else if (argument == "--append") {
      line.append = true;
    } else if (TakeValue(arguments, i, "--fields", line.fields, parsed.error) ||
               TakeValue(arguments, i, "--join", line.join, parsed.error)) {
    } else if (TakeValue(arguments, i, "--encoding", encoding, parsed.error)) {
      if (encoding && !ReadEncoding(*encoding, line.encoding)) parsed.error = "unknown encoding " + *encoding;
    } else {
      parsed.error = "unknown option " + argument;
    }
  }
  if (!parsed.error.empty()) return parsed;
  if (line.join && line.join->find_first_of("\t\r\n") != std::string::npos) {
    // It would split the joined cell into columns or lines.
    parsed.error = "--join must not hold a tab or a line break";
  } else if (positional.size() != 2) {
    parsed.error = "expected INPUT and OUTPUT";
  } else if (positional[0].empty() || positional[1].empty()) {
    // An unset variable in a script: nothing to read, or nowhere to write.
    parsed.error = positional[0].empty() ? "INPUT is empty" : "OUTPUT is empty";
  } else {
    line.input = positional[0];
    line.output = positional[1];
  }
  return parsed;
}
