#pragma once
// The texts a conversion shows a person, in the window and from marc2tab
// alike: UTF-8, Chinese.
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "file_system.h"
#include "text_encoding.h"

struct MalformedRecord;
struct RunSummary;
enum class MalformedKind;

namespace run_messages {
inline constexpr const char* kConfirmPrompt = "您好,是否确定导出数据为制表符文本数据？";
inline constexpr const char* kAppendPrompt = "该文件已存在，是否追加数据！";
inline constexpr const char* kReplacePrompt = "该文件已存在，是否替换？";
inline constexpr const char* kFinishedPrompt = "恭喜，数据已经转换完毕咯！";
inline constexpr const char* kProgressPrefix = "正在预读数据，目前已完成";
inline constexpr const char* kProgressSuffix = "条.....";
inline constexpr const char* kNoInputPath = "请先选择数据文件。";
inline constexpr const char* kContinueAnyway = "是否仍然继续？";
inline constexpr const char* kStopPrompt = "是否停止转换？已转换的记录会保留。";

// A path in the input box that leads to no file.
std::string InputNotFound(const std::string& path);
// Items of the field list that can never give a value, named before a run;
// the columns that had no value in any record, named after it.
std::string CannotMatch(const std::vector<std::string>& items);
std::string EmptyColumns(const std::vector<std::string>& items);
// A run the user stopped.
std::string Stopped(const RunSummary& summary, const std::string& path);

// The end message: the fixed first line, then a line for each thing the
// user should know about (records that could not be read, and where the
// first one is).
std::string Finished(const RunSummary& summary, TextEncoding output, const std::string& path);
// Its lines, which marc2tab's summary shares.
std::string OutputNamed(const std::string& path, int sheets);
std::string CutValues(const RunSummary& summary);
std::string DeletedControls(const RunSummary& summary);
std::string ReadAsUtf8(std::int64_t records);
// Records read otherwise than they declared, because their bytes said so.
std::string Overridden(const RunSummary& summary);
std::string Unwritable(const RunSummary& summary, TextEncoding output);

// marc2tab's summary: the records converted, each of the first malformed
// ones with where it is and what was wrong, and how many more there were.
std::string Converted(const RunSummary& summary);
std::string Located(const MalformedRecord& record);
std::string MoreMalformed(std::int64_t more);
std::string Describe(MalformedKind kind);
// marc2tab was not told to append to an output that exists.
std::string ExistsWithoutAppend(const std::string& path, bool workbook);

// "无法打开输入文件：D:\data\a.iso（文件不存在）" and its kin.
std::string CannotOpenInput(const std::string& path, const FileError& error);
std::string CannotReadInput(const std::string& path, const FileError& error);
std::string CannotCreateOutput(const std::string& path, const FileError& error);
std::string CannotWriteOutput(const std::string& path, const FileError& error);
// The output chosen is the input itself: appending to it while reading it
// would read back the lines just written.
std::string OutputIsInput(const std::string& path);
// Appending in one encoding to a file that holds the other.
std::string MixedEncodings(const std::string& path, TextEncoding output);
// A workbook is written whole, never added to.
std::string WorkbookCannotBeAppended(const std::string& path);
// A field list of more items than a workbook has columns.
std::string TooManyColumns(std::size_t items);
// The file's first bytes, which tell its encoding, cannot be read.
std::string EncodingUnknown(const std::string& path);
// Memory ran out, or something else went wrong inside the run.
std::string RunBrokeOff(const std::string& what);
// What follows the reason a run failed: how many records the output kept.
std::string KeptRecords(std::int64_t kept);
// Memory ran out, or something else went wrong, during the census of a file.
std::string CensusBrokeOff(const std::string& what);
// A short Chinese reason for a file error.
std::string Reason(const FileError& error);
// The reason a person reads for an exception: memory that ran out (or a size
// no memory could hold), or else a fault of the program's own. An
// exception's own text is for programmers, in English, and never shown.
std::string Reason(const std::exception& error);
}  // namespace run_messages
