#include "command_line.h"

#include <algorithm>

#include "cli_texts.h"
#include "marc/field_list.h"

namespace {

// The value of an option given as "--name VALUE" or "--name=VALUE".
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
               std::optional<std::string>& value, std::string& error, const CliTexts& texts) {
  const std::string& argument = arguments[i];
  if (argument.rfind(name + "=", 0) == 0) {
    value = argument.substr(name.size() + 1);
    return true;
  }
  if (argument != name) return false;
  if (i + 1 == arguments.size()) {
    error = texts.NeedsValue(name);
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

// The language asked for with --lang, else the user's; nullopt for a word
// that names none.
std::optional<Language> LanguageAsked(const std::vector<std::string>& arguments, std::string& word) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--") break;
    std::optional<std::string> value;
    if (arguments[i].rfind("--lang=", 0) == 0) value = arguments[i].substr(7);
    if (arguments[i] == "--lang" && i + 1 < arguments.size()) value = arguments[i + 1];
    if (!value) continue;
    word = *value;
    if (word == "zh") return Language::Chinese;
    if (word == "en") return Language::English;
    return std::nullopt;
  }
  return LanguageOfUser();
}

}  // namespace

OutputType OutputTypeOf(const CommandLine& line, const std::string& output) {
  if (line.format) return FormatForCommandLine(*line.format, line.encoding).value_or(OutputType::GbkText);
  if (const std::optional<OutputType> named = FormatNamedBy(output)) return *named;
  return FormatForCommandLine("tsv", line.encoding).value_or(OutputType::GbkText);
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  CommandLine& line = parsed.commandLine;
  std::string languageWord;
  const std::optional<Language> language = LanguageAsked(arguments, languageWord);
  line.language = language.value_or(LanguageOfUser());
  const CliTexts texts(line.language);
  if (!language) parsed.error = texts.UnknownLanguage(languageWord);
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
    const std::string& argument = arguments[i];
    std::optional<std::string> encoding, format, languageValue, header;
    if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
      positional.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help" || argument == "-h") {
      line.help = true;
      return parsed;
    } else if (argument == "--append") {
      line.append = true;
    } else if (argument == "--census") {
      line.census = true;
    } else if (argument == "--replace") {
      line.replace = true;
    } else if (TakeValue(arguments, i, "--fields", line.fields, parsed.error, texts) ||
               TakeValue(arguments, i, "--log", line.log, parsed.error, texts) ||
               TakeValue(arguments, i, "--join", line.join, parsed.error, texts) ||
               TakeValue(arguments, i, "--lang", languageValue, parsed.error, texts)) {
    } else if (TakeValue(arguments, i, "--format", format, parsed.error, texts)) {
      if (format && !IsCommandLineWord(*format)) parsed.error = texts.UnknownFormat(*format);
      if (format) line.format = *format;
    } else if (TakeValue(arguments, i, "--header", header, parsed.error, texts)) {
      const std::optional<HeaderStyle> style = header ? HeaderStyleNamed(*header) : std::nullopt;
      if (header && !style) parsed.error = texts.UnknownHeader(*header);
      if (style) line.header = *style;
    } else if (TakeValue(arguments, i, "--encoding", encoding, parsed.error, texts)) {
      if (encoding && !ReadEncoding(*encoding, line.encoding)) parsed.error = texts.UnknownEncoding(*encoding);
    } else {
      parsed.error = texts.UnknownOption(argument);
    }
  }
  if (!parsed.error.empty()) return parsed;
  const bool workbook = positional.size() >= 2 && !FormatOf(OutputTypeOf(line, positional.back())).appendable;
  const auto empty = [](const std::string& path) { return path.empty(); };
  if (line.append && line.replace) {
    parsed.error = texts.AppendAndReplace();
  } else if (line.append && workbook) {
    parsed.error = texts.WorkbookAppend();
  } else if (line.join && line.join->find_first_of("\t\r\n") != std::string::npos) {
    // It would split the joined cell into columns or lines.
    parsed.error = texts.SeparatorBreaksRow();
  } else if (line.census) {
    if (positional.empty() || std::any_of(positional.begin(), positional.end(), empty)) {
      parsed.error = texts.CensusInput();
    }
    line.inputs = positional;
  } else if (positional.size() < 2) {
    parsed.error = texts.InputAndOutput();
  } else if (std::any_of(positional.begin(), positional.end() - 1, empty) || positional.back().empty()) {
    // An unset variable in a script: nothing to read, or nowhere to write.
    parsed.error = positional.back().empty() ? texts.EmptyOutputName() : texts.EmptyInputName();
  } else if (line.log && (line.log->empty() || *line.log == positional.back() || *line.log == "-")) {
    parsed.error = texts.LogIsOutput();
  } else {
    line.output = positional.back();
    positional.pop_back();
    line.inputs = positional;
  }
  return parsed;
}
