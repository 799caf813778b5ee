#pragma once
// The texts a conversion, a census and a preview show a person, in the
// window and from marc2tab alike: UTF-8, in the interface's language. Every
// fault has one wording here, in each language.
#include <cstdint>
#include <string>
#include <vector>

#include "conversion.h"
#include "file_system.h"
#include "report/failure.h"
#include "text/language.h"
#include "text/text_encoding.h"

// What broke off, for the words of a failure that is no file's.
enum class Work { Conversion, Census, Preview };

class Messages : public ProblemWords {
 public:
  explicit Messages(Language language) : chinese_(language == Language::Chinese) {}

  // The window's questions and notices.
  std::string ConfirmPrompt() const;
  // Before a run that writes this type (a workbook is named as one).
  std::string ConfirmPrompt(OutputType type) const;
  std::string AppendPrompt() const;
  std::string ReplacePrompt() const;
  // The same, naming the file: a text file is appended to (the default),
  // replaced or left alone; a workbook replaced or left alone.
  std::string AppendPrompt(const std::string& path) const;
  std::string ReplacePrompt(const std::string& path) const;
  // After an append refused for the file's other encoding: the reason, and
  // whether to replace the file instead.
  std::string ReplaceInsteadPrompt(const Failure& refusal) const;
  // The buttons of the question about an existing file and of the end message.
  std::string AppendButton() const;
  std::string ReplaceButton() const;
  std::string CancelButton() const;
  std::string OpenFileButton() const;
  std::string OpenFolderButton() const;
  std::string OpenLogButton() const;
  std::string NoInputPath() const;
  std::string ContinueAnyway() const;
  std::string StopPrompt() const;
  // The same during a run that replaces its output: a stop leaves the old file.
  std::string StopPrompt(bool replacing) const;
  // "正在预读数据，目前已完成3条....." and the share of the input read
  // ("（45%）"), when its size is known (percent < 0 when not).
  void AppendProgress(std::string& text, std::int64_t records, int percent) const;
  // A path in the input box that leads to no file.
  std::string InputNotFound(const std::string& path) const;
  // Items of the field list that can never give a value, named before a run;
  // the columns that had no value in any record, named after it, each with
  // the spelling the file has beside it where there is one (hints as in
  // RunSummary::emptyColumnHints).
  std::string CannotMatch(const std::vector<std::string>& items) const;
  std::string EmptyColumns(const std::vector<std::string>& items, const std::vector<std::string>& hints = {}) const;
  // "200A（文件中有 200a）".
  std::string NearMiss(const std::string& item, const std::string& hint) const;
  // A run the user stopped.
  std::string Stopped(const RunSummary& summary, const std::string& path) const;

  // The end message: the fixed first line, then a line for each thing the
  // user should know about (records that could not be read, and where the
  // first one is).
  std::string Finished(const RunSummary& summary, TextEncoding output, const std::string& path) const;
  // The same, with the log of problems named (or why it could not be written).
  std::string Finished(const RunSummary& summary, TextEncoding output, const std::string& path,
                       const std::string& log) const;
  std::string LogNamed(const RunSummary& summary, const std::string& log) const;
  // Where the window writes the log of a run's problems: beside the output.
  static std::string LogOf(const std::string& output);
  // The log's words.
  std::vector<std::string> LogHeader() const override;
  std::string LogReason(ProblemKind kind, TextEncoding output) const override;
  std::string LogCutShort(std::int64_t lines, std::int64_t more) const override;
  // Its lines, which marc2tab's summary shares.
  std::string OutputNamed(const std::string& path, int sheets) const;
  std::string CutValues(const RunSummary& summary) const;
  std::string DeletedControls(const RunSummary& summary) const;
  std::string ReadAsUtf8(std::int64_t records) const;
  // Records read otherwise than they declared, because their bytes said so.
  std::string Overridden(const RunSummary& summary) const;
  std::string Unwritable(const RunSummary& summary, TextEncoding output) const;

  // marc2tab's summary: the records converted, each of the first malformed
  // ones with where it is and what was wrong, and how many more there were.
  std::string Converted(const RunSummary& summary) const;
  std::string Located(const RunSummary& summary, const MalformedRecord& record) const;
  std::string MoreMalformed(std::int64_t more) const;
  std::string Describe(MalformedKind kind) const;
  // marc2tab was not told to append to an output that exists.
  std::string ExistsWithoutAppend(const std::string& path, bool workbook) const;

  // Why a run, a census or a preview failed or was refused, with what the
  // output kept when the run had begun writing.
  std::string Failed(const Failure& failure, Work work) const;
  // A short reason for a file error ("文件不存在").
  std::string Reason(const FileError& error) const;

 private:
  const char* Pick(const char* chinese, const char* english) const { return chinese_ ? chinese : english; }
  std::string FileFailed(const char* zh, const char* en, const Failure& failure) const;
  std::string Kept(const Failure& failure) const;
  std::string Quoted(const std::vector<std::string>& items, bool quotes) const;
  std::string RecordAt(const RunSummary& summary, const RecordPlace& place) const;

  bool chinese_;
};
