#pragma once
// marc2tab's own texts: its usage, the reasons a call is wrong, its progress
// line and the words of its census report, in Chinese or English. What a run
// or a census says of itself comes from app/messages.
#include <cstdint>
#include <string>

#include "app/field_list_files.h"
#include "text/language.h"

class CliTexts {
 public:
  explicit CliTexts(Language language) : language_(language), chinese_(language == Language::Chinese) {}

  Language Of() const { return language_; }
  std::string Usage() const;

  // Why a call is wrong.
  std::string NeedsValue(const std::string& option) const;
  std::string UnknownFormat(const std::string& word) const;
  std::string UnknownEncoding(const std::string& word) const;
  std::string UnknownLanguage(const std::string& word) const;
  std::string UnknownHeader(const std::string& word) const;
  std::string UnknownOption(const std::string& option) const;
  std::string AppendAndReplace() const;
  std::string WorkbookAppend() const;
  std::string SeparatorBreaksRow() const;
  std::string CensusInput() const;
  std::string InputAndOutput() const;
  std::string EmptyInputName() const;
  std::string EmptyOutputName() const;
  std::string LogIsOutput() const;
  // Why the list file of --fields @FILE is refused; reason says why it
  // could not be opened or read.
  std::string ListFileRefused(ListFileRead::Problem problem, const std::string& path, const std::string& reason) const;

  std::string Warning(const std::string& text) const;
  std::string Progress(std::int64_t records, double megabytes, double megabytesPerSecond) const;

  // The census report's words.
  const char* const* CensusHeader() const;  // seven cells
  std::string RecordType() const;
  std::string OtherSubfields() const;
  std::string OtherFields() const;
  std::string Repeats() const;
  std::string CensusRead(std::int64_t records, std::int64_t malformed, std::int64_t partlyRead) const;
  std::string CensusStopped() const;
  std::string CensusFailed(const std::string& reason) const;

 private:
  const char* Pick(const char* chinese, const char* english) const { return chinese_ ? chinese : english; }

  Language language_;
  bool chinese_;
};

// The user's language, as the system says.
Language LanguageOfUser();
