#include "run_messages.h"

#include <new>
#include <stdexcept>

#include "conversion.h"
#include "record_splitter.h"

namespace run_messages {

std::string Reason(const FileError& error) {
  using Kind = FileError::Kind;
  switch (error.kind) {
    case Kind::None: return "未知错误";
    case Kind::NotFound: return "文件不存在";
    case Kind::PathNotFound: return "路径不存在";
    case Kind::NoPermission: return "没有访问权限";
    case Kind::IsFolder: return "这是一个文件夹";
    case Kind::InUse: return "文件正被另一程序使用";
    case Kind::Exists: return "文件已存在";
    case Kind::DiskFull: return "磁盘空间不足";
    case Kind::ReadOnly: return "磁盘只读";
    case Kind::ReadOnlyFile: return "文件为只读";
    case Kind::TooManyOpen: return "打开的文件太多";
    case Kind::TooLarge: return "超出文件大小上限";
    case Kind::BrokenPipe: return "接收输出的程序已关闭";
    case Kind::InvalidName: return "文件名无效";
    case Kind::NameTooLong: return "文件名太长";
    case Kind::ReadWrite: return "读写错误";
    case Kind::OutOfMemory: return "内存不足";
    case Kind::Other: break;
  }
  return "错误代码 " + std::to_string(error.code);
}

std::string Reason(const std::exception& error) {
  const bool memory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr ||
                      dynamic_cast<const std::length_error*>(&error) != nullptr;
  return memory ? Reason({FileError::Kind::OutOfMemory, 0}) : "程序内部错误";
}

namespace {
std::string Compose(const char* what, const std::string& path, const FileError& error) {
  return std::string(what) + "：" + path + "（" + Reason(error) + "）";
}
}  // namespace

std::string CannotOpenInput(const std::string& path, const FileError& e) {
  return Compose("无法打开输入文件", path, e);
}
std::string CannotReadInput(const std::string& path, const FileError& e) {
  return Compose("无法读取输入文件", path, e);
}
std::string CannotCreateOutput(const std::string& path, const FileError& e) {
  return Compose("无法创建输出文件", path, e);
}
std::string CannotWriteOutput(const std::string& path, const FileError& e) {
  return Compose("无法写入输出文件", path, e);
}
std::string OutputIsInput(const std::string& path) { return "输出文件不能是输入文件：" + path; }
std::string RunBrokeOff(const std::string& what) { return "转换中断（" + what + "）"; }
std::string CensusBrokeOff(const std::string& what) { return "字段统计中断（" + what + "）。"; }

std::string KeptRecords(std::int64_t kept) {
  if (kept == 0) return "。没有写出任何记录。";
  return "。已写出的" + std::to_string(kept) + "条记录保留在输出文件中。";
}

namespace {
const char* Name(TextEncoding encoding) { return encoding == TextEncoding::Gbk ? "GBK" : "UTF-8"; }
}  // namespace

std::string MixedEncodings(const std::string& path, TextEncoding output) {
  const TextEncoding other = output == TextEncoding::Gbk ? TextEncoding::Utf8 : TextEncoding::Gbk;
  return std::string("输出文件已是") + Name(other) + "编码，不能追加" + Name(output) + "编码的数据：" + path +
         "（一个文件不能混用两种编码）";
}

std::string WorkbookCannotBeAppended(const std::string& path) {
  return "Excel 工作簿不能追加数据，只能新建或替换：" + path;
}

std::string TooManyColumns(std::size_t items) {
  return "Excel 工作簿最多16384列，字段列表有" + std::to_string(items) + "项；请减少字段或改用文本形式。";
}

std::string EncodingUnknown(const std::string& path) { return "无法读取输出文件的开头，不能确定其编码：" + path; }

std::string ReadAsUtf8(std::int64_t records) { return "其中" + std::to_string(records) + "条记录是UTF-8编码的。"; }

std::string Overridden(const RunSummary& summary) {
  std::string text;
  const auto line = [&](std::int64_t count, std::int64_t first, const char* declared, const char* read) {
    if (count == 0) return;
    if (!text.empty()) text += "\n";
    text += std::to_string(count) + "条记录声明为" + declared + "，实际按" + read + "读取，第一条是第" +
            std::to_string(first) + "条记录。";
  };
  line(summary.gbkReadAsUtf8, summary.firstGbkReadAsUtf8, "GBK", "UTF-8");
  line(summary.utf8ReadAsGbk, summary.firstUtf8ReadAsGbk, "UTF-8", "GBK");
  return text;
}

// Written as what is in the file: "?" in GBK ("??" for a character beyond
// the BMP, as Windows writes one), U+FFFD in UTF-8.
std::string Unwritable(const RunSummary& summary, TextEncoding output) {
  std::string writtenAs = "“\xEF\xBF\xBD”（U+FFFD）";
  if (output == TextEncoding::Gbk) {
    writtenAs = summary.unwritableBeyondBmp == 0 ? "“?”"
                : summary.unwritableBeyondBmp == summary.unwritable
                    ? "“??”"
                    : "“?”（BMP以外的" + std::to_string(summary.unwritableBeyondBmp) + "个写成“??”）";
  }
  return "有" + std::to_string(summary.unwritable) + "个字符无法用" + Name(output) + "编码写出，已写成" + writtenAs +
         "，第一个在第" + std::to_string(summary.firstUnwritableRecord) + "条记录。";
}

std::string OutputNamed(const std::string& path, int sheets) {
  std::string text = path == "-" ? std::string("输出到标准输出") : "输出文件：" + path;
  if (sheets > 1) text += "（共" + std::to_string(sheets) + "个工作表）";
  return text;
}

std::string CutValues(const RunSummary& summary) {
  return "有" + std::to_string(summary.cutValues) + "个值超过单元格的上限（32767个字符），已截断，第一个在第" +
         std::to_string(summary.firstCutRecord) + "条记录。";
}

std::string DeletedControls(const RunSummary& summary) {
  return std::to_string(summary.deletedControls) + "个控制字符已删去，第一处在第" +
         std::to_string(summary.firstDeletedControlRecord) + "条记录。";
}

std::string Finished(const RunSummary& summary, TextEncoding output, const std::string& path) {
  std::string text = kFinishedPrompt;
  text += "\n" + OutputNamed(path, summary.sheets);
  if (!summary.firstMalformed.empty()) {
    const MalformedRecord& first = summary.firstMalformed.front();
    text += "\n其中" + std::to_string(summary.malformed) + "条记录无法完整读取，第一条是第" +
            std::to_string(first.number) + "条记录（位于文件第" + std::to_string(first.offset) + "字节）。";
  }
  if (summary.utf8Records > 0) text += "\n" + ReadAsUtf8(summary.utf8Records);
  if (!Overridden(summary).empty()) text += "\n" + Overridden(summary);
  if (summary.unwritable > 0) text += "\n" + Unwritable(summary, output);
  if (summary.cutValues > 0) text += "\n" + CutValues(summary);
  if (summary.deletedControls > 0) text += "\n" + DeletedControls(summary);
  if (summary.records > 0 && !summary.emptyColumns.empty()) text += "\n" + EmptyColumns(summary.emptyColumns);
  return text;
}

std::string InputNotFound(const std::string& path) { return "找不到数据文件：" + path; }

namespace {
// Items in quotes, one after the other; a list of thousands is cut short.
std::string Quoted(const std::vector<std::string>& items, bool quotes) {
  constexpr std::size_t kNamed = 20;
  std::string text;
  for (std::size_t i = 0; i < items.size() && i < kNamed; ++i) {
    if (i > 0) text += "、";
    text += quotes ? "“" + items[i] + "”" : items[i];
  }
  if (items.size() > kNamed) text += "……共" + std::to_string(items.size()) + "项";
  return text;
}
}  // namespace

std::string CannotMatch(const std::vector<std::string>& items) {
  return "以下字段代码不是四个字符，对应的列将全部为空：" + Quoted(items, true) + "。";
}

std::string EmptyColumns(const std::vector<std::string>& items) {
  return "以下各列在所有记录中都没有值：" + Quoted(items, false);
}

std::string Stopped(const RunSummary& summary, const std::string& path) {
  return "转换已停止，已写出" + std::to_string(summary.records) + "条记录。\n" + OutputNamed(path, summary.sheets);
}

std::string Converted(const RunSummary& summary) {
  return "已转换" + std::to_string(summary.records) + "条记录，其中" + std::to_string(summary.malformed) +
         "条格式有误。";
}

std::string Located(const MalformedRecord& record) {
  return "第" + std::to_string(record.number) + "条记录（位于文件第" + std::to_string(record.offset) + "字节）：" +
         Describe(record.kind);
}

std::string MoreMalformed(std::int64_t more) { return "……另有" + std::to_string(more) + "条"; }

std::string Describe(MalformedKind kind) {
  switch (kind) {
    case MalformedKind::Refused: return "目录长度不是12的倍数，各列写为空值";
    case MalformedKind::Unreadable: return "记录头之后没有字段结束符，各列写为空值";
    case MalformedKind::BadCell: return "目录项的长度或起始位置无法使用，该字段无法读取";
    case MalformedKind::TooLong:
      return "超过" + std::to_string(kLargestRecord >> 20) + " MiB，各列写为空值，并跳到其结尾";
    case MalformedKind::NoRecordEnd: return "文件在记录中间结束，能读的部分照常转换";
    case MalformedKind::FieldsOverlap: return "目录项指向互相重叠的数据，只读了一部分";
  }
  return "";
}

std::string ExistsWithoutAppend(const std::string& path, bool workbook) {
  return "输出文件已存在：" + path +
         (workbook ? "（要替换它请加 --replace；文件未作改动）"
                   : "（要追加数据请加 --append，要替换它请加 --replace；文件未作改动）");
}

}  // namespace run_messages
