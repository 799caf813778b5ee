#include "cli_texts.h"

#include <cstdio>

#include "marc/field_list.h"
#include "marc/field_list_file.h"
#include "user_language.h"

Language LanguageOfUser() { return UserReadsChinese() ? Language::Chinese : Language::English; }

std::string CliTexts::Usage() const {
  if (chinese_) {
    return std::string(
               "用法：marc2tab [--fields 字段列表|@文件] [--header codes|names|both] [--join 分隔符]\n"
               "               [--format tsv|xlsx] [--encoding gbk|utf-8] [--append | --replace] [--log 问题记录]\n"
               "               [--lang zh|en] 输入文件... 输出文件\n"
               "      marc2tab --census 输入文件...\n"
               "\n"
               "把 ISO 2709 格式的书目数据文件（UNIMARC/CNMARC，GBK 或 UTF-8 编码）转换成制表符分隔的\n"
               "文本文件（CR LF 换行）或 Excel 工作簿：第一行是字段代码，之后每条记录一行。几个输入文件\n"
               "依次转换到同一个表里，只有一行表头；000@ 输出记录所在文件的文件名。\n"
               "\n"
               "  --fields 字段列表   用逗号隔开的字段代码，各项前后的空格忽略。默认：\n"
               "                      ") +
           DefaultFieldList +
           "\n"
           "                      200a       字段号加子字段代码：第一个 200 字段的第一个 $a\n"
           "                      701a*      全部出现，用 --join 的分隔符连接\n"
           "                      200        整个字段：指示符，然后 $a…$b…\n"
           "                      001        控制字段（001-009）原样输出\n"
           "                      606*       每个 606 字段整个输出并连接\n"
           "                      100a/9-12  值的第9到第12个字符（从0数起，按字符不按字节）；100a/9 只取一个\n"
           "                      005/0-7    控制字段的字符位置；701a*/0-1 取每次出现的位置再连接\n"
           "                      000?       记录类型\n"
           "                      000#       记录号（记录在文件中的序号）\n"
           "                      000@       记录所在文件的文件名（不含文件夹）\n"
           "  --fields @文件      从 UTF-8 文本文件读取字段列表（可以每行一项）\n"
           "  --header 样式       标题行：codes 字段代码（默认），names 字段名称，both 代码和名称\n"
           "                      （例如“200a 正题名”）；名称的语言随 --lang\n"
           "  --join 分隔符       701a* 这类代码各次出现之间的分隔符（默认“; ”），不能有制表符或换行\n"
           "  --format 格式       tsv：制表符分隔的文本；xlsx：Excel 工作簿，每个值都是文本单元格。\n"
           "                      输出文件名以 .xlsx 结尾时默认 xlsx，否则默认 tsv\n"
           "  --encoding 编码     文本输出的编码：gbk（默认）或 utf-8（文件以 BOM 开头）\n"
           "  --append            文本输出文件已存在时追加到其末尾\n"
           "  --replace           输出文件已存在时整个替换（写完后才替换，失败时原文件不变）；\n"
           "                      两者都不加时，已存在的输出文件被拒绝，文件不变\n"
           "  --log 问题记录      把每个问题（格式有误的记录、截断的值、写成“?”的字符、按另一种编码读取的\n"
           "                      记录）写成一行：文件、记录号、字节位置、001、列、问题（UTF-8，制表符分隔）。\n"
           "                      没有问题时不留下这个文件\n"
           "  --census            "
           "不转换，列出输入文件中的全部字段和子字段（几个文件合计）：代码、名称、有它的记录数和占比、\n"
           "                      出现次数、是否重复、示例\n"
           "  --lang zh|en        提示和标题行中字段名称的语言（默认按 LC_ALL、LC_MESSAGES、LANG）\n"
           "  --help              显示本说明\n"
           "  输出文件            文件名，或 - 表示标准输出\n"
           "\n"
           "退出码：0 转换完成；1 文件无法读写，或转换中断；2 用法错误、输出文件已存在而没有 --append，\n"
           "输出文件是另一种编码，字段列表超过 Excel 工作簿的16384列，或字段列表文件无法读取、\n"
           "大于 4 MB、不是 UTF-8 或超过16384项。\n";
  }
  return std::string(
             "Usage: marc2tab [--fields LIST|@FILE] [--header codes|names|both] [--join SEPARATOR]\n"
             "                [--format tsv|xlsx] [--encoding gbk|utf-8] [--append | --replace] [--log FILE]\n"
             "                [--lang zh|en] INPUT... OUTPUT\n"
             "       marc2tab --census INPUT...\n"
             "\n"
             "Converts a file of bibliographic records in ISO 2709 (UNIMARC/CNMARC, GBK or UTF-8) into\n"
             "tab-delimited text (CR LF line ends) or an Excel workbook: a header of field codes, then one\n"
             "row per record. Several INPUTs are converted one after the other into one table under one\n"
             "header; 000@ writes the name of each record's file.\n"
             "\n"
             "  --fields LIST       field codes separated by commas, blanks around each ignored. Default:\n"
             "                      ") +
         DefaultFieldList +
         "\n"
         "                      200a       tag and subfield code: the first $a of the first 200 field\n"
         "                      701a*      every occurrence, joined with the separator of --join\n"
         "                      200        the whole field: indicators, then $a...$b...\n"
         "                      001        a control field (001-009) as it stands\n"
         "                      606*       every 606 field whole, joined\n"
         "                      100a/9-12  characters 9 to 12 of the value (counted from 0, characters,\n"
         "                                 not bytes); 100a/9 just one\n"
         "                      005/0-7    positions of a control field; 701a*/0-1 those of each occurrence\n"
         "                      000?       the type of record\n"
         "                      000#       the record's number in the file\n"
         "                      000@       the name of the record's file, without its folder\n"
         "  --fields @FILE      read the field list from a UTF-8 text file (one item a line will do)\n"
         "  --header STYLE      the header row: codes (the default), names, or both (\"200a Title proper\");\n"
         "                      names are in the language of --lang\n"
         "  --join SEPARATOR    between the occurrences of a code such as 701a* (default \"; \"); no tab\n"
         "                      or line break\n"
         "  --format FORMAT     tsv: tab-delimited text; xlsx: an Excel workbook, every value a text cell.\n"
         "                      xlsx when OUTPUT ends in .xlsx, else tsv\n"
         "  --encoding NAME     of text output: gbk (the default) or utf-8 (the file begins with a BOM)\n"
         "  --append            append to a text OUTPUT that exists\n"
         "  --replace           replace an OUTPUT that exists (only once it is complete; on failure the\n"
         "                      file stays as it was). Without either, an OUTPUT that exists is refused\n"
         "  --log FILE          write every problem (malformed records, values cut, characters written as\n"
         "                      \"?\", records read in another encoding) as a line: file, record, byte offset,\n"
         "                      001, column, problem (UTF-8, tab-delimited). No problem, no FILE\n"
         "  --census            instead of converting, list every field and subfield of the INPUTs: code,\n"
         "                      name, records that have it and their share, occurrences, repeats, sample\n"
         "  --lang zh|en        the language of the messages and of the names in the header (else from\n"
         "                      LC_ALL, LC_MESSAGES, LANG)\n"
         "  --help              show this text\n"
         "  OUTPUT              a file name, or - for standard output\n"
         "\n"
         "Exit status: 0 converted; 1 a file could not be read or written, or the run broke off; 2 a wrong\n"
         "call, an OUTPUT that exists without --append, an OUTPUT in the other encoding, a field list\n"
         "longer than the 16384 columns of a workbook, or a field list file that cannot be read, is larger\n"
         "than 4 MB, is not UTF-8 or holds more than 16384 items.\n";
}

std::string CliTexts::NeedsValue(const std::string& option) const {
  return option + Pick(" 需要一个值", " needs a value");
}
std::string CliTexts::UnknownFormat(const std::string& word) const {
  return Pick("未知的格式 ", "unknown format ") + word;
}
std::string CliTexts::UnknownEncoding(const std::string& word) const {
  return Pick("未知的编码 ", "unknown encoding ") + word;
}
std::string CliTexts::UnknownLanguage(const std::string& word) const {
  return Pick("未知的语言 ", "unknown language ") + word;
}
std::string CliTexts::UnknownHeader(const std::string& word) const {
  return Pick("未知的标题行样式 ", "unknown header style ") + word +
         Pick("（可用 codes、names、both）", " (codes, names or both)");
}
std::string CliTexts::UnknownOption(const std::string& option) const {
  return Pick("未知的选项 ", "unknown option ") + option;
}
std::string CliTexts::AppendAndReplace() const {
  return Pick("--append 和 --replace 只能用一个", "--append and --replace cannot both be given");
}
std::string CliTexts::WorkbookAppend() const {
  return Pick("Excel 工作簿不能追加，只能新建或用 --replace 替换",
              "an Excel workbook cannot be appended to, only created or replaced with --replace");
}
std::string CliTexts::SeparatorBreaksRow() const {
  return Pick("--join 的分隔符中不能有制表符或换行", "the separator of --join cannot hold a tab or a line break");
}
std::string CliTexts::CensusInput() const {
  return Pick("--census 需要至少一个输入文件", "--census needs at least one input file");
}
std::string CliTexts::InputAndOutput() const {
  return Pick("需要至少一个输入文件和一个输出文件", "at least one input file and one output file are needed");
}
std::string CliTexts::EmptyInputName() const { return Pick("输入文件名是空的", "the input file's name is empty"); }
std::string CliTexts::EmptyOutputName() const { return Pick("输出文件名是空的", "the output file's name is empty"); }
std::string CliTexts::LogIsOutput() const {
  return Pick("--log 需要一个文件名，且不能是输出文件或 -", "--log needs a file name other than OUTPUT's and -");
}

std::string CliTexts::ListFileRefused(ListFileRead::Problem problem, const std::string& path,
                                      const std::string& reason) const {
  using Problem = ListFileRead::Problem;
  const std::string items = std::to_string(kMostListItems);
  switch (problem) {
    case Problem::CannotOpen:
    case Problem::CannotRead:
      return chinese_ ? "无法读取字段列表文件：" + path + "（" + reason + "）"
                      : "cannot read the field list file " + path + " (" + reason + ")";
    case Problem::TooLarge:
      return chinese_ ? "字段列表文件大于4 MB，不是字段列表文件：" + path
                      : "the field list file is larger than 4 MB, no list file: " + path;
    case Problem::NotUtf8:
      return chinese_ ? "字段列表文件不是UTF-8编码的文本文件：" + path
                      : "the field list file is no text file in UTF-8: " + path;
    case Problem::TooManyItems:
      return chinese_ ? "字段列表文件中的项目超过" + items + "个：" + path
                      : "the field list file holds more than " + items + " items: " + path;
    case Problem::None: break;
  }
  return {};
}

std::string CliTexts::Warning(const std::string& text) const { return Pick("警告：", "warning: ") + text; }

std::string CliTexts::Progress(std::int64_t records, double megabytes, double megabytesPerSecond) const {
  char line[160];
  std::snprintf(line, sizeof line,
                Pick("已转换%lld条记录，%.1f MB，%.1f MB/s", "%lld records converted, %.1f MB, %.1f MB/s"),
                static_cast<long long>(records), megabytes, megabytesPerSecond);
  return line;
}

const char* const* CliTexts::CensusHeader() const {
  static const char* const chinese[] = {"代码", "名称", "记录数", "占比", "次数", "重复", "示例"};
  static const char* const english[] = {"Code", "Name", "Records", "Share", "Times", "Repeats", "Sample"};
  return chinese_ ? chinese : english;
}
std::string CliTexts::RecordType() const { return Pick("记录类型", "Type of record"); }
std::string CliTexts::OtherSubfields() const { return Pick("其他子字段", "Other subfields"); }
std::string CliTexts::OtherFields() const { return Pick("其他字段", "Other fields"); }
std::string CliTexts::Repeats() const { return Pick("是", "yes"); }

std::string CliTexts::CensusRead(std::int64_t records, std::int64_t malformed, std::int64_t partlyRead) const {
  std::string text = chinese_ ? "共读取" + std::to_string(records) + "条记录。"
                              : std::to_string(records) + (records == 1 ? " record read." : " records read.");
  std::string details;
  if (malformed > 0) {
    details += chinese_ ? std::to_string(malformed) + "条格式有误，未计入统计"
                        : std::to_string(malformed) + " malformed, not counted";
  }
  if (malformed > 0 && partlyRead > 0) details += Pick("；", "; ");
  if (partlyRead > 0) {
    details += chinese_ ? std::to_string(partlyRead) + "条有字段无法读取，只计入其余字段"
                        : std::to_string(partlyRead) + " with fields that could not be read, only the rest counted";
  }
  if (!details.empty()) text += chinese_ ? "其中" + details + "。" : " Of them " + details + ".";
  return text + "\n";
}

std::string CliTexts::CensusStopped() const {
  return Pick("统计未完成：已中止，以上只是前面的记录。\n",
              "The census is not complete: it was stopped, and the above are only the first records.\n");
}

std::string CliTexts::CensusFailed(const std::string& reason) const {
  return Pick("统计未完成：", "The census is not complete: ") + reason + "\n";
}
