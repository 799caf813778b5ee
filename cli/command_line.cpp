#include "command_line.h"

#include "marc/field_list.h"

std::string Usage() {
  return std::string(
             "用法：marc2tab [--fields 字段列表] [--join 分隔符] [--format tsv|xlsx] [--encoding gbk|utf-8]\n"
             "               [--append | --replace] 输入文件 输出文件\n"
             "      marc2tab --census 输入文件\n"
             "\n"
             "把 ISO 2709 格式的书目数据文件（UNIMARC/CNMARC，GBK 或 UTF-8 编码）转换成制表符分隔的\n"
             "文本文件（CR LF 换行）或 Excel 工作簿：第一行是字段代码，之后每条记录一行。\n"
             "\n"
             "  --fields 字段列表   用逗号隔开的字段代码（字段号加子字段代码，例如 200a；000? 输出记录类型；\n"
             "                      701a* 取出全部出现并连接）。默认：\n"
             "                      ") +
         DefaultFieldList +
         "\n"
         "  --join 分隔符       701a* 这类代码各次出现之间的分隔符（默认“; ”），不能有制表符或换行\n"
         "  --format 格式       tsv：制表符分隔的文本；xlsx：Excel 工作簿，每个值都是文本单元格。\n"
         "                      输出文件名以 .xlsx 结尾时默认 xlsx，否则默认 tsv\n"
         "  --encoding 编码     文本输出的编码：gbk（默认）或 utf-8（文件以 BOM 开头）\n"
         "  --append            文本输出文件已存在时追加到其末尾\n"
         "  --replace           输出文件已存在时整个替换（写完后才替换，失败时原文件不变）；\n"
         "                      两者都不加时，已存在的输出文件被拒绝，文件不变\n"
         "  --census            不转换，列出输入文件中的全部字段和子字段：代码、名称、有它的记录数和占比、\n"
         "                      出现次数、是否重复、示例\n"
         "  --help              显示本说明\n"
         "  输出文件            文件名，或 - 表示标准输出\n"
         "\n"
         "退出码：0 转换完成；1 文件无法读写，或转换中断；2 用法错误、输出文件已存在而没有 --append，\n"
         "输出文件是另一种编码，或字段列表超过 Excel 工作簿的16384列。\n";
}

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
    error = name + " 需要一个值";
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

OutputType OutputTypeOf(const CommandLine& line, const std::string& output) {
  if (line.format) return FormatForCommandLine(*line.format, line.encoding).value_or(OutputType::GbkText);
  if (const std::optional<OutputType> named = FormatNamedBy(output)) return *named;
  return FormatForCommandLine("tsv", line.encoding).value_or(OutputType::GbkText);
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  CommandLine& line = parsed.commandLine;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
    const std::string& argument = arguments[i];
    std::optional<std::string> encoding, format;
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
    } else if (TakeValue(arguments, i, "--fields", line.fields, parsed.error) ||
               TakeValue(arguments, i, "--join", line.join, parsed.error)) {
    } else if (TakeValue(arguments, i, "--format", format, parsed.error)) {
      if (format && !IsCommandLineWord(*format)) parsed.error = "未知的格式 " + *format;
      if (format) line.format = *format;
    } else if (TakeValue(arguments, i, "--encoding", encoding, parsed.error)) {
      if (encoding && !ReadEncoding(*encoding, line.encoding)) parsed.error = "未知的编码 " + *encoding;
    } else {
      parsed.error = "未知的选项 " + argument;
    }
  }
  if (!parsed.error.empty()) return parsed;
  const bool workbook = positional.size() == 2 && !FormatOf(OutputTypeOf(line, positional[1])).appendable;
  if (line.append && line.replace) {
    parsed.error = "--append 和 --replace 只能用一个";
  } else if (line.append && workbook) {
    parsed.error = "Excel 工作簿不能追加，只能新建或用 --replace 替换";
  } else if (line.join && line.join->find_first_of("\t\r\n") != std::string::npos) {
    // It would split the joined cell into columns or lines.
    parsed.error = "--join 的分隔符中不能有制表符或换行";
  } else if (line.census) {
    if (positional.size() != 1 || positional[0].empty()) parsed.error = "--census 需要一个输入文件，且只要这一个";
    if (positional.size() == 1) line.input = positional[0];
  } else if (positional.size() != 2) {
    parsed.error = "需要输入文件和输出文件各一个";
  } else if (positional[0].empty() || positional[1].empty()) {
    // An unset variable in a script: nothing to read, or nowhere to write.
    parsed.error = positional[0].empty() ? "输入文件名是空的" : "输出文件名是空的";
  } else {
    line.input = positional[0];
    line.output = positional[1];
  }
  return parsed;
}
