#pragma once
// The texts a conversion run shows, UTF-8.
#include <cstdint>
#include <string>

#include "file_system.h"
#include "text_encoding.h"

struct RunSummary;

namespace run_messages {
inline constexpr const char* kConfirmPrompt = "您好,是否确定导出数据为制表符文本数据？";
inline constexpr const char* kConfirmTitle = "操作提示";
inline constexpr const char* kAppendPrompt = "该文件已存在，是否追加数据！";
inline constexpr const char* kNoticeTitle = "温馨提示";
inline constexpr const char* kFinishedPrompt = "恭喜，数据已经转换完毕咯！";
inline constexpr const char* kProgressPrefix = "正在预读数据，目前已完成";
inline constexpr const char* kProgressSuffix = "条.....";

// The end message: the fixed first line, then a line for each thing the
// user should know about (records that could not be read, and where the
// first one is).
std::string Finished(const RunSummary& summary, TextEncoding output);

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
}  // namespace run_messages
