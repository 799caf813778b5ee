#pragma once
// Turns a record into one row of cells, as the field list asks: the
// conversion writes its rows with it, and the preview shows the same cells.
// Values go into the table's encoding; what the encoding cannot take is
// counted. A template over the table, so that the text table, which every
// run of text goes through for every cell, is called directly.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
  RowMaker(const std::vector<std::string>& items, std::string_view joinSeparator, TextEncoding tableEncoding);

  std::size_t Columns() const { return extractor_.Columns(); }
  const std::vector<FieldCode>& Codes() const { return extractor_.Codes(); }
  // The header: the items as typed, but a tab or line break in one (a list
  // pasted from a spreadsheet row) must not split it.
  std::vector<std::string> HeaderCells() const;
  // Whether any record so far gave the column a value.
  bool Filled(std::size_t column) const { return filled_[column] != 0; }
  // Characters written as "??" in GBK, the surrogate pairs of UTF-8 input.
  std::size_t WrittenAsTwoMarks() const { return fromUtf8_.WrittenAsTwoMarks(); }
  // The view of the record last written.
  const RecordView& View() const { return view_; }
  // The columns of the record last written that had characters the table's
  // encoding could not take.
  const std::vector<std::uint32_t>& UnwritableColumns() const { return unwritableColumns_; }
  // The name "000@" writes, of the file whose records come next (UTF-8).
  void SetFileName(std::string_view utf8);

  // Writes the record's cells into the table's row; the record must stay
  // until the row has ended.
  template <typename Table>
  RowFacts Write(Table& table, std::string_view record);

  // A row of empty cells, for a record too long to hold.
  template <typename Table>
  void WriteEmpty(Table& table) {
    table.StartRow();
    unwritableColumns_.clear();
    for (std::size_t column = 0; column < Columns(); ++column) {
      if (isFileName_[column] != 0) table.Add(fileName_, false);
      table.EndCell();
    }
  }

 private:
  std::string_view Recode(std::string_view value, std::size_t column, RowFacts& facts);

  TextEncoding encoding_;  // of the table
  RecordTypeNames typeNames_;
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
};

template <typename Table>
RowFacts RowMaker::Write(Table& table, std::string_view record) {
  RowFacts facts;
  view_.Build(record);
  extractor_.Read(view_);
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
      filled_[column] |= !occurrences.empty();
      for (std::size_t i = 0; i < occurrences.size(); ++i) {
        if (i > 0) table.Add(separator_, false);
        table.Add(Recode(occurrences[i], column, facts), recordHasTabs);
      }
    } else if (isFileName_[column] != 0) {
      filled_[column] = 1;
      table.Add(fileName_, false);
    } else if (extractor_.Value(column, value)) {
      filled_[column] |= !value.empty();
      // The names of record types are written in the table's encoding already.
      if (recoder_ != nullptr && !extractor_.IsRecordType(column)) value = Recode(value, column, facts);
      table.Add(value, recordHasTabs);
    } else {
      facts.cellFailed = true;  // an empty cell keeps the columns aligned
    }
    table.EndCell();
  }
  return facts;
}
