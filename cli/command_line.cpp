#include "command_line.h"

const char* const kUsage =
    "Usage: marc2tab [--fields LIST] [--append] INPUT OUTPUT\n"
    "\n"
    "Converts a file of ISO 2709 records (UNIMARC/CNMARC, GBK) into tab-delimited\n"
    "text (GBK, CR LF): a header line of field codes, then one line per record.\n"
    "\n"
    "  --fields LIST  comma-separated field codes, UTF-8 (tag + subfield code,\n"
    "                 e.g. 200a; 000? gives the record type). Default:\n"
    "                 010a,010d,101a,200a,200f,200g,210a,210c,210d,215a,215d,\n"
    "                 225a,330a,606a,690a\n"
    "  --append       add to OUTPUT if it exists (otherwise an existing OUTPUT\n"
    "                 is refused and left untouched)\n"
    "  --help         show this text\n"
    "  OUTPUT         a file name, or - for standard output\n"
    "\n"
    "Exit status: 0 converted, 1 a file could not be read or written,\n"
    "2 wrong usage or OUTPUT exists without --append.\n";

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  CommandLine& line = parsed.commandLine;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
      positional.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help" || argument == "-h") {
      line.help = true;
      return parsed;
    } else if (argument == "--append") {
      line.append = true;
    } else if (argument == "--fields") {
      if (i + 1 == arguments.size()) {
        parsed.error = "--fields needs a list";
        return parsed;
      }
      line.fields = arguments[++i];
    } else if (argument.rfind("--fields=", 0) == 0) {
      line.fields = argument.substr(9);
    } else {
      parsed.error = "unknown option " + argument;
      return parsed;
    }
  }
  if (positional.size() != 2) {
    parsed.error = "expected INPUT and OUTPUT";
    return parsed;
  }
  line.input = positional[0];
  line.output = positional[1];
  return parsed;
}
