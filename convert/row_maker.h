#pragma once
// Turns a record into one row of cells, as the field list asks: the
// conversion writes its rows with it, and the preview shows the same cells.
// Values go into the table's encoding; what the encoding cannot take is
// counted. A template over the table, so that the text table, which every
// run of text goes through for every cell, is called directly.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "marc/column_title.h"
#include "marc/field_extractor.h"
#include "marc/record_type.h"
#include "marc/record_view.h"
#include "text/recoder.h"
#include "text/text_cell.h"

// What a row found out about its record.
struct RowFacts {
  bool cellFailed = false;  // a cell could not be read: it was written empty
  TextEncoding encoding = TextEncoding::Gbk;
  bool overridden = false;     // read otherwise than the record declared
  std::size_t unwritable = 0;  // characters the table's encoding could not take
};

class RowMaker {
 public:
  RowMaker(const std::vector<std::string>& items, std::string_view joinSeparator, TextEncoding tableEncoding,
           HeaderStyle header = HeaderStyle::Codes, Language language = Language::Chinese);

  std::size_t Columns() const { return extractor_.Columns(); }
  const std::vector<FieldCode>& Codes() const { return extractor_.Codes(); }
  // The header: each column's title in the style asked for, but a tab or
  // line break in one (a list pasted from a spreadsheet row) must not split it.
  std::vector<std::string> HeaderCells() const;
  // Whether any record so far gave the column a value.
  bool Filled(std::size_t column) const { return filled_[column] != 0; }
  // For a column without a value so far: the spelling of it that some record
  // had a value for ("200a" for "200A"), or "".
  std::string HintFor(std::size_t column) const;
  // Characters written as "??" in GBK, the surrogate pairs of UTF-8 input.
  std::size_t WrittenAsTwoMarks() const { return fromUtf8_.WrittenAsTwoMarks(); }
  // The view of the record last written.
  const RecordView& View() const { return view_; }
  // The columns of the record last written that had characters the table's
  // encoding could not take.
  const std::vector<std::uint32_t>& UnwritableColumns() const { return unwritableColumns_; }
  // The name "000@" writes, of the file whose records come next (UTF-8);
  // "000#" counts that file's records on from recordsBefore + 1.
  void SetFileName(std::string_view utf8, std::int64_t recordsBefore = 0);

  // The columns given their first value, and the probes that found their
  // first, by this maker, in order: a run that makes its rows with several
  // makers joins them up with Absorb, as far as the rows it has written.
  const std::vector<std::uint32_t>& NewlyFilled() const { return newlyFilled_; }
  const std::vector<std::uint32_t>& NewlyFoundProbes() const { return newlyFoundProbes_; }
  void Absorb(const std::vector<std::uint32_t>& filled, std::size_t filledBegin, std::size_t filledEnd,
              const std::vector<std::uint32_t>& foundProbes, std::size_t probesBegin, std::size_t probesEnd);

  // Writes the record's cells into the table's row; the record must stay
  // until the row has ended.
  template <typename Table>
  RowFacts Write(Table& table, std::string_view record);

  // A row of empty cells, for a record too long to hold; its number is
  // still written.
  template <typename Table>
  void WriteEmpty(Table& table) {
    ++records_;
    table.StartRow();
    unwritableColumns_.clear();
    for (std::size_t column = 0; column < Columns(); ++column) {
      if (isFileName_[column] != 0) table.Add(fileName_, false);
      if (Codes()[column].kind == FieldCode::Kind::RecordNumber) table.Add(RecordNumber(), false);
      table.EndCell();
    }
  }

 private:
  std::string_view Recode(std::string_view value, std::size_t column, RowFacts& facts);
  std::string_view RecordNumber();
  void CheckProbes();
  void Fill(std::size_t column, bool hasValue) {
    if (hasValue && filled_[column] == 0) {
      filled_[column] = 1;
      newlyFilled_.push_back(static_cast<std::uint32_t>(column));
    }
  }

  TextEncoding encoding_;  // of the table
  RecordTypeNames typeNames_;
  // Other spellings of the items, read while their columns are empty: by
  // spelling, the columns each may be meant for (made before the extractor,
  // which reads them).
  std::map<std::string, std::size_t> probeOfSpelling_;
  std::vector<std::vector<std::size_t>> probeColumns_;
  FieldExtractor extractor_;
  std::string separator_;  // in the table's encoding
  Recoder fromGbk_;
  Recoder fromUtf8_;
  Recoder* recoder_ = nullptr;  // for the record being written; null when its bytes pass through
  std::string recoded_;
  RecordView view_;
  std::vector<char> filled_;      // per column
  std::vector<char> isFileName_;  // per column
  std::string fileName_;          // in the table's encoding
  std::vector<std::uint32_t> unwritableColumns_;
  HeaderStyle header_;
  Language language_;
  std::int64_t records_ = 0;  // of the file being read, written so far, as a run counts them
  std::array<char, 24> number_{};
  std::vector<char> probeFound_;  // per probe: whether a record had it
  std::vector<std::uint32_t> newlyFilled_;
  std::vector<std::uint32_t> newlyFoundProbes_;
  std::vector<std::size_t> probing_;  // the probes not stopped
};

template <typename Table>
RowFacts RowMaker::Write(Table& table, std::string_view record) {
  RowFacts facts;
  view_.Build(record);
  extractor_.Read(view_, ++records_);
  const bool recordHasTabs = text_cell::HoldsTabOrLineBreak(record);
  facts.encoding = extractor_.Encoding();
  facts.overridden = extractor_.Decision().Overridden();
  // GBK records in GBK output, nearly every one, pass through as they are.
  recoder_ = facts.encoding == TextEncoding::Gbk ? (encoding_ == TextEncoding::Gbk ? nullptr : &fromGbk_) : &fromUtf8_;
  unwritableColumns_.clear();
  std::string_view value;
  const std::size_t columns = extractor_.Columns();
  table.StartRow();
  for (std::size_t column = 0; column < columns; ++column) {
    if (extractor_.IsJoined(column)) {
      const std::vector<std::string_view>& occurrences = extractor_.Occurrences(column);
      Fill(column, !occurrences.empty());
      for (std::size_t i = 0; i < occurrences.size(); ++i) {
        if (i > 0) table.Add(separator_, false);
        table.Add(Recode(occurrences[i], column, facts), recordHasTabs);
      }
    } else if (isFileName_[column] != 0) {
      Fill(column, true);
      table.Add(fileName_, false);
    } else if (extractor_.Value(column, value)) {
      Fill(column, !value.empty());
      // The names of record types are written in the table's encoding already.
      if (recoder_ != nullptr && !extractor_.NeedsNoRecoding(column)) value = Recode(value, column, facts);
      table.Add(value, recordHasTabs);
    } else {
      facts.cellFailed = true;  // an empty cell keeps the columns aligned
    }
    table.EndCell();
  }
  if (!probing_.empty()) CheckProbes();
  return facts;
}
