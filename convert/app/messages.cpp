#include "app/messages.h"

#include "marc/record_splitter.h"

namespace {

std::string Number(std::int64_t number) { return std::to_string(number); }

const char* Name(TextEncoding encoding) { return encoding == TextEncoding::Gbk ? "GBK" : "UTF-8"; }

// Records in English: "1 record", "2 records".
std::string Records(std::int64_t count) { return Number(count) + (count == 1 ? " record" : " records"); }

}  // namespace

std::string Messages::ConfirmPrompt() const {
  return Pick("您好,是否确定导出数据为制表符文本数据？", "Export the data as tab-delimited text?");
}
std::string Messages::AppendPrompt() const {
  return Pick("该文件已存在，是否追加数据！", "The file exists. Append the data to it?");
}
std::string Messages::ReplacePrompt() const { return Pick("该文件已存在，是否替换？", "The file exists. Replace it?"); }
std::string Messages::ConfirmPrompt(OutputType type) const {
  if (FormatOf(type).appendable) return ConfirmPrompt();
  return Pick("是否将数据转换为 Excel 工作簿？", "Convert the data into an Excel workbook?");
}
std::string Messages::AppendPrompt(const std::string& path) const {
  return Pick("该文件已存在，是否追加数据！\n", "The file exists. Append the data to it, or replace it?\n") + path;
}
std::string Messages::ReplacePrompt(const std::string& path) const { return ReplacePrompt() + "\n" + path; }
std::string Messages::ReplaceInsteadPrompt(const Failure& refusal) const {
  return Failed(refusal, Work::Conversion) + Pick("\n是否替换该文件？", "\nReplace the file instead?");
}
std::string Messages::AppendButton() const { return Pick("追加", "Append"); }
std::string Messages::ReplaceButton() const { return Pick("替换", "Replace"); }
std::string Messages::CancelButton() const { return Pick("取消", "Cancel"); }
std::string Messages::OpenFileButton() const { return Pick("打开文件", "Open file"); }
std::string Messages::OpenFolderButton() const { return Pick("打开所在文件夹", "Open folder"); }
std::string Messages::OpenLogButton() const { return Pick("打开问题记录", "Open log"); }
std::string Messages::NoInputPath() const { return Pick("请先选择数据文件。", "Choose a record file first."); }
std::string Messages::ContinueAnyway() const { return Pick("是否仍然继续？", "Continue anyway?"); }
std::string Messages::StopPrompt() const {
  return Pick("是否停止转换？已转换的记录会保留。", "Stop the conversion? The records converted so far are kept.");
}
std::string Messages::StopPrompt(bool replacing) const {
  if (!replacing) return StopPrompt();
  return Pick("是否停止转换？原文件将保持不变。", "Stop the conversion? The file will be left as it was.");
}

void Messages::AppendProgress(std::string& text, std::int64_t records, int percent) const {
  text += Pick("正在预读数据，目前已完成", "Reading records: ");
  text += Number(records);
  text += Pick("条.....", " done.....");
  if (percent < 0) return;
  text += Pick("（", " (");
  text += Number(percent);
  text += Pick("%）", "%)");
}

std::string Messages::InputNotFound(const std::string& path) const {
  return Pick("找不到数据文件：", "No record file at ") + path;
}

std::string Messages::Quoted(const std::vector<std::string>& items, bool quotes) const {
  // A list of thousands is cut short.
  constexpr std::size_t kNamed = 20;
  std::string text;
  for (std::size_t i = 0; i < items.size() && i < kNamed; ++i) {
    if (i > 0) text += Pick("、", ", ");
    text += quotes ? Pick("“", "\"") + items[i] + Pick("”", "\"") : items[i];
  }
  if (items.size() > kNamed) {
    text += chinese_ ? "……共" + Number(static_cast<std::int64_t>(items.size())) + "项"
                     : "… (" + Number(static_cast<std::int64_t>(items.size())) + " items)";
  }
  return text;
}

std::string Messages::CannotMatch(const std::vector<std::string>& items) const {
  return Pick("以下字段代码无法识别，对应的列将全部为空：",
              "These field codes are not understood; their columns will be empty: ") +
         Quoted(items, true) + Pick("。", ".");
}

std::string Messages::EmptyColumns(const std::vector<std::string>& items, const std::vector<std::string>& hints) const {
  std::vector<std::string> named;
  named.reserve(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    named.push_back(i < hints.size() && !hints[i].empty() ? NearMiss(items[i], hints[i]) : items[i]);
  }
  return Pick("以下各列在所有记录中都没有值：", "These columns have no value in any record: ") + Quoted(named, false);
}

std::string Messages::NearMiss(const std::string& item, const std::string& hint) const {
  return item + (chinese_ ? "（文件中有 " + hint + "）" : " (the file has " + hint + ")");
}

std::string Messages::Stopped(const RunSummary& summary, const std::string& path) const {
  if (summary.replacedNothing) {
    if (chinese_) return "转换已停止，原文件未作改动：" + path;
    return "The conversion was stopped; the file was left as it was: " + path;
  }
  const std::string stopped = chinese_ ? "转换已停止，已写出" + Number(summary.records) + "条记录。"
                                       : "The conversion was stopped; " + Records(summary.records) + " written.";
  return stopped + "\n" + OutputNamed(path, summary.sheets);
}

std::string Messages::OutputNamed(const std::string& path, int sheets) const {
  std::string text =
      path == "-" ? Pick("输出到标准输出", "Written to standard output") : Pick("输出文件：", "Output file: ") + path;
  if (sheets > 1) text += chinese_ ? "（共" + Number(sheets) + "个工作表）" : " (" + Number(sheets) + " sheets)";
  return text;
}

// "第3条记录", or with several inputs "b.iso中的第3条记录"; "record 3 of b.iso".
std::string Messages::RecordAt(const RunSummary& summary, const RecordPlace& place) const {
  const bool named = summary.inputs.size() > 1 && place.file < summary.inputs.size();
  const std::string file = named ? NameWithoutFolder(summary.inputs[place.file]) : "";
  if (chinese_) return (named ? file + "中的" : "") + "第" + Number(place.number) + "条记录";
  return "record " + Number(place.number) + (named ? " of " + file : "");
}

std::string Messages::CutValues(const RunSummary& summary) const {
  if (chinese_) {
    return "有" + Number(summary.cutValues) + "个值超过单元格的上限（32767个字符），已截断，第一个在" +
           RecordAt(summary, summary.firstCutRecord) + "。";
  }
  return Number(summary.cutValues) + " values longer than a cell holds (32767 characters) were cut; the first is in " +
         RecordAt(summary, summary.firstCutRecord) + ".";
}

std::string Messages::DeletedControls(const RunSummary& summary) const {
  if (chinese_) {
    return Number(summary.deletedControls) + "个控制字符已删去，第一处在" +
           RecordAt(summary, summary.firstDeletedControlRecord) + "。";
  }
  return Number(summary.deletedControls) + " control characters were left out; the first is in " +
         RecordAt(summary, summary.firstDeletedControlRecord) + ".";
}

std::string Messages::ReadAsUtf8(std::int64_t records) const {
  if (chinese_) return "其中" + Number(records) + "条记录是UTF-8编码的。";
  return Records(records) + " of them were in UTF-8.";
}

std::string Messages::Overridden(const RunSummary& summary) const {
  std::string text;
  const auto line = [&](std::int64_t count, const RecordPlace& first, const char* declared, const char* read) {
    if (count == 0) return;
    if (!text.empty()) text += "\n";
    if (chinese_) {
      text += Number(count) + "条记录声明为" + declared + "，实际按" + read + "读取，第一条是" +
              RecordAt(summary, first) + "。";
    } else {
      text += Records(count) + " declared as " + declared + " were read as " + read + "; the first is " +
              RecordAt(summary, first) + ".";
    }
  };
  line(summary.gbkReadAsUtf8, summary.firstGbkReadAsUtf8, "GBK", "UTF-8");
  line(summary.utf8ReadAsGbk, summary.firstUtf8ReadAsGbk, "UTF-8", "GBK");
  return text;
}

// Written as what is in the file: "?" in GBK ("??" for a character beyond
// the BMP, as Windows writes one), U+FFFD in UTF-8.
std::string Messages::Unwritable(const RunSummary& summary, TextEncoding output) const {
  std::string writtenAs = Pick("“\xEF\xBF\xBD”（U+FFFD）", "\"\xEF\xBF\xBD\" (U+FFFD)");
  if (output == TextEncoding::Gbk) {
    const std::string beyond = Number(summary.unwritableBeyondBmp);
    writtenAs = summary.unwritableBeyondBmp == 0                    ? Pick("“?”", "\"?\"")
                : summary.unwritableBeyondBmp == summary.unwritable ? Pick("“??”", "\"??\"")
                : chinese_ ? "“?”（BMP以外的" + beyond + "个写成“??”）"
                           : "\"?\" (the " + beyond + " beyond the BMP as \"??\")";
  }
  if (chinese_) {
    return "有" + Number(summary.unwritable) + "个字符无法用" + Name(output) + "编码写出，已写成" + writtenAs +
           "，第一个在" + RecordAt(summary, summary.firstUnwritableRecord) + "。";
  }
  return Number(summary.unwritable) + " characters cannot be written in " + Name(output) + " and were written as " +
         writtenAs + "; the first is in " + RecordAt(summary, summary.firstUnwritableRecord) + ".";
}

std::string Messages::Finished(const RunSummary& summary, TextEncoding output, const std::string& path) const {
  std::string text = Pick("恭喜，数据已经转换完毕咯！", "The data has been converted.");
  text += "\n" + OutputNamed(path, summary.sheets);
  if (!summary.firstMalformed.empty()) {
    const MalformedRecord& first = summary.firstMalformed.front();
    const std::string record = RecordAt(summary, {first.file, first.number});
    if (chinese_) {
      text += "\n其中" + Number(summary.malformed) + "条记录无法完整读取，第一条是" + record + "（位于文件第" +
              Number(static_cast<std::int64_t>(first.offset)) + "字节）。";
    } else {
      text += "\n" + Records(summary.malformed) + " could not be read in full; the first is " + record + " (at byte " +
              Number(static_cast<std::int64_t>(first.offset)) + " of the file).";
    }
  }
  if (summary.utf8Records > 0) text += "\n" + ReadAsUtf8(summary.utf8Records);
  if (!Overridden(summary).empty()) text += "\n" + Overridden(summary);
  if (summary.unwritable > 0) text += "\n" + Unwritable(summary, output);
  if (summary.cutValues > 0) text += "\n" + CutValues(summary);
  if (summary.deletedControls > 0) text += "\n" + DeletedControls(summary);
  if (summary.records > 0 && !summary.emptyColumns.empty()) {
    text += "\n" + EmptyColumns(summary.emptyColumns, summary.emptyColumnHints);
  }
  return text;
}

std::string Messages::Finished(const RunSummary& summary, TextEncoding output, const std::string& path,
                               const std::string& log) const {
  const std::string logged = LogNamed(summary, log);
  return Finished(summary, output, path) + (logged.empty() ? "" : "\n" + logged);
}

std::string Messages::LogNamed(const RunSummary& summary, const std::string& log) const {
  if (summary.logFailure) {
    const std::string reason = Reason(summary.logFailure.fileError);
    if (chinese_) return "问题记录无法写出：" + log + "（" + reason + "）；转换本身不受影响。";
    return "The log of problems could not be written: " + log + " (" + reason + "); the conversion is not affected.";
  }
  if (summary.loggedProblems == 0) return "";
  if (chinese_) return "各问题所在的记录见问题记录：" + log + "（" + Number(summary.loggedProblems) + "行）";
  return "Every problem and its record is listed in the log: " + log + " (" + Number(summary.loggedProblems) +
         (summary.loggedProblems == 1 ? " line)" : " lines)");
}

std::string Messages::LogOf(const std::string& output) { return output + ".log.txt"; }

std::vector<std::string> Messages::LogHeader() const {
  if (chinese_) return {"文件", "记录号", "字节位置", "001", "列", "问题"};
  return {"File", "Record", "Byte offset", "001", "Column", "Problem"};
}

std::string Messages::LogReason(ProblemKind kind, TextEncoding output) const {
  switch (kind) {
    case ProblemKind::Refused: return Describe(MalformedKind::Refused);
    case ProblemKind::Unreadable: return Describe(MalformedKind::Unreadable);
    case ProblemKind::BadCell: return Describe(MalformedKind::BadCell);
    case ProblemKind::TooLong: return Describe(MalformedKind::TooLong);
    case ProblemKind::NoRecordEnd: return Describe(MalformedKind::NoRecordEnd);
    case ProblemKind::FieldsOverlap: return Describe(MalformedKind::FieldsOverlap);
    case ProblemKind::DeclaredGbkReadAsUtf8:
      return Pick("声明为GBK，实际按UTF-8读取", "declared as GBK, read as UTF-8");
    case ProblemKind::DeclaredUtf8ReadAsGbk:
      return Pick("声明为UTF-8，实际按GBK读取", "declared as UTF-8, read as GBK");
    case ProblemKind::CutValue:
      return Pick("值超过单元格的上限（32767个字符），已截断",
                  "the value is longer than a cell holds (32767 characters) and was cut");
    case ProblemKind::WrittenAsMarks:
      if (output == TextEncoding::Gbk) {
        return Pick("有字符无法用GBK编码写出，已写成“?”（BMP以外的写成“??”）",
                    "characters GBK lacks were written as \"?\" (\"??\" beyond the BMP)");
      }
      return Pick("有无效的字节，已写成“\xEF\xBF\xBD”（U+FFFD）",
                  "bytes that are no character were written as \"\xEF\xBF\xBD\" (U+FFFD)");
  }
  return "";
}

std::string Messages::LogCutShort(std::int64_t lines, std::int64_t more) const {
  if (chinese_) return "问题记录到此为止：只列出前" + Number(lines) + "个问题，另有" + Number(more) + "个未列出。";
  return "The log stops here: it lists the first " + Number(lines) + " problems, and " + Number(more) +
         " more are left out.";
}

std::string Messages::Converted(const RunSummary& summary) const {
  if (chinese_) return "已转换" + Number(summary.records) + "条记录，其中" + Number(summary.malformed) + "条格式有误。";
  return Records(summary.records) + " converted, " + Number(summary.malformed) + " of them malformed.";
}

std::string Messages::Located(const RunSummary& summary, const MalformedRecord& record) const {
  const std::string offset = Number(static_cast<std::int64_t>(record.offset));
  std::string place = RecordAt(summary, {record.file, record.number});
  if (chinese_) return place + "（位于文件第" + offset + "字节）：" + Describe(record.kind);
  place[0] = 'R';
  return place + " (at byte " + offset + " of the file): " + Describe(record.kind);
}

std::string Messages::MoreMalformed(std::int64_t more) const {
  return chinese_ ? "……另有" + Number(more) + "条" : "… and " + Number(more) + " more";
}

std::string Messages::Describe(MalformedKind kind) const {
  switch (kind) {
    case MalformedKind::Refused:
      return Pick("目录长度不是12的倍数，各列写为空值",
                  "its directory's length is not a multiple of 12; its cells are written empty");
    case MalformedKind::Unreadable:
      return Pick("记录头之后没有字段结束符，各列写为空值",
                  "no field terminator follows its leader; its cells are written empty");
    case MalformedKind::BadCell:
      return Pick("目录项的长度或起始位置无法使用，该字段无法读取",
                  "a directory entry has an unusable length or start; that field cannot be read");
    case MalformedKind::TooLong:
      if (chinese_) return "超过" + Number(kLargestRecord >> 20) + " MiB，各列写为空值，并跳到其结尾";
      return "longer than " + Number(kLargestRecord >> 20) + " MiB; its cells are written empty and it is skipped";
    case MalformedKind::NoRecordEnd:
      return Pick("文件在记录中间结束，能读的部分照常转换",
                  "the file ends inside the record; what can be read is converted");
    case MalformedKind::FieldsOverlap:
      return Pick("目录项指向互相重叠的数据，只读了一部分",
                  "directory entries point at overlapping data; read in part");
  }
  return "";
}

std::string Messages::ExistsWithoutAppend(const std::string& path, bool workbook) const {
  if (chinese_) {
    return "输出文件已存在：" + path +
           (workbook ? "（要替换它请加 --replace；文件未作改动）"
                     : "（要追加数据请加 --append，要替换它请加 --replace；文件未作改动）");
  }
  return "The output file exists: " + path +
         (workbook ? " (add --replace to replace it; the file was left as it was)"
                   : " (add --append to append to it, or --replace to replace it; the file was left as it was)");
}

std::string Messages::Reason(const FileError& error) const {
  using Kind = FileError::Kind;
  switch (error.kind) {
    case Kind::None: return Pick("未知错误", "unknown error");
    case Kind::NotFound: return Pick("文件不存在", "no such file");
    case Kind::PathNotFound: return Pick("路径不存在", "no such folder");
    case Kind::NoPermission: return Pick("没有访问权限", "access denied");
    case Kind::IsFolder: return Pick("这是一个文件夹", "this is a folder");
    case Kind::InUse: return Pick("文件正被另一程序使用", "the file is in use by another program");
    case Kind::Exists: return Pick("文件已存在", "the file exists");
    case Kind::DiskFull: return Pick("磁盘空间不足", "the disk is full");
    case Kind::ReadOnly: return Pick("磁盘只读", "the disk is read-only");
    case Kind::ReadOnlyFile: return Pick("文件为只读", "the file is read-only");
    case Kind::TooManyOpen: return Pick("打开的文件太多", "too many open files");
    case Kind::TooLarge: return Pick("超出文件大小上限", "the file would be too large");
    case Kind::BrokenPipe: return Pick("接收输出的程序已关闭", "the program receiving the output has closed");
    case Kind::InvalidName: return Pick("文件名无效", "invalid file name");
    case Kind::NameTooLong: return Pick("文件名太长", "the file name is too long");
    case Kind::ReadWrite: return Pick("读写错误", "read or write error");
    case Kind::OutOfMemory: return Pick("内存不足", "out of memory");
    case Kind::Other: break;
  }
  return Pick("错误代码 ", "error code ") + Number(error.code);
}

// "无法打开输入文件：D:\data\a.iso（文件不存在）"
std::string Messages::FileFailed(const char* zh, const char* en, const Failure& failure) const {
  if (chinese_) return std::string(zh) + "：" + failure.path + "（" + Reason(failure.fileError) + "）";
  return std::string(en) + ": " + failure.path + " (" + Reason(failure.fileError) + ")";
}

// What follows the reason a run that had begun writing failed: how many
// records the output kept.
std::string Messages::Kept(const Failure& failure) const {
  if (!failure.keptRecords) return Pick("。", ".");
  const std::int64_t kept = *failure.keptRecords;
  if (kept == 0) return Pick("。没有写出任何记录。", ". No record was written.");
  if (chinese_) return "。已写出的" + Number(kept) + "条记录保留在输出文件中。";
  return ". The " + Records(kept) + " written stay in the output file.";
}

std::string Messages::Failed(const Failure& failure, Work work) const {
  using Kind = Failure::Kind;
  const std::string& path = failure.path;
  switch (failure.kind) {
    case Kind::CannotOpenInput: {
      // An input after the first: the records of those before it stay.
      const std::string text = FileFailed("无法打开输入文件", "Cannot open the input file", failure);
      return failure.keptRecords ? text + Kept(failure) : text;
    }
    case Kind::CannotCreateOutput: return FileFailed("无法创建输出文件", "Cannot create the output file", failure);
    case Kind::CannotReadInput: {
      const std::string text = FileFailed("无法读取输入文件", "Cannot read the input file", failure);
      return failure.keptRecords ? text + Kept(failure) : text;
    }
    case Kind::CannotWriteOutput:
      return FileFailed("无法写入输出文件", "Cannot write the output file", failure) + Kept(failure);
    case Kind::OutputIsInput:
      return Pick("输出文件不能是输入文件：", "The output file cannot be the input file: ") + path;
    case Kind::WorkbookCannotBeAppended:
      return Pick("Excel 工作簿不能追加数据，只能新建或替换：",
                  "An Excel workbook cannot be appended to, only created or replaced: ") +
             path;
    case Kind::TooManyColumns: {
      const std::string items = Number(static_cast<std::int64_t>(failure.items));
      if (chinese_) return "Excel 工作簿最多16384列，字段列表有" + items + "项；请减少字段或改用文本形式。";
      return "An Excel workbook has at most 16384 columns, and the field list has " + items +
             " items; remove some items or write text instead.";
    }
    case Kind::EncodingUnknown:
      return Pick("无法读取输出文件的开头，不能确定其编码：",
                  "Cannot read the beginning of the output file to tell its encoding: ") +
             path;
    case Kind::MixedEncodings: {
      const TextEncoding output = failure.encoding;
      const char* other = Name(output == TextEncoding::Gbk ? TextEncoding::Utf8 : TextEncoding::Gbk);
      if (chinese_) {
        return std::string("输出文件已是") + other + "编码，不能追加" + Name(output) + "编码的数据：" + path +
               "（一个文件不能混用两种编码）";
      }
      return std::string("The output file is in ") + other + ", and " + Name(output) +
             " data cannot be appended to it: " + path + " (one file cannot mix two encodings)";
    }
    case Kind::OutOfMemory:
    case Kind::ProgramFault: {
      const std::string reason = failure.kind == Kind::OutOfMemory ? Reason({FileError::Kind::OutOfMemory, 0})
                                                                   : Pick("程序内部错误", "a fault in the program");
      if (work == Work::Census)
        return chinese_ ? "字段统计中断（" + reason + "）。" : "The census broke off (" + reason + ").";
      if (work == Work::Preview) {
        return chinese_ ? "预览记录读取中断（" + reason + "）。"
                        : "Reading the records to preview broke off (" + reason + ").";
      }
      return (chinese_ ? "转换中断（" + reason + "）" : "The conversion broke off (" + reason + ")") + Kept(failure);
    }
    case Kind::CannotWriteLog: return FileFailed("无法写出问题记录", "Cannot write the log of problems", failure);
    case Kind::None: break;
  }
  return "";
}
