#include "row_maker.h"

#include <algorithm>

namespace {

// Text typed by a person (UTF-8) in the table's encoding, without the tabs
// and line breaks that would split a cell or a row.
std::string ForTable(std::string_view utf8, TextEncoding encoding) {
  std::string text;
  Recoder(TextEncoding::Utf8, encoding).Convert(utf8, text);
  text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }),
             text.end());
  return text;
}

std::vector<FieldCode> CodesOf(const std::vector<std::string>& items) {
  std::vector<FieldCode> codes;
  codes.reserve(items.size());
  for (const std::string& item : items) codes.push_back(ParseFieldCode(item));
  return codes;
}

}  // namespace

RowMaker::RowMaker(const std::vector<std::string>& items, std::string_view joinSeparator, TextEncoding tableEncoding)
    : encoding_(tableEncoding),
      typeNames_(tableEncoding),
      extractor_(CodesOf(items), typeNames_),
      separator_(ForTable(joinSeparator, tableEncoding)),
      fromGbk_(TextEncoding::Gbk, tableEncoding),
      fromUtf8_(TextEncoding::Utf8, tableEncoding),
      filled_(extractor_.Columns(), 0) {
  for (const FieldCode& code : Codes()) isFileName_.push_back(code.kind == FieldCode::Kind::FileName ? 1 : 0);
}

void RowMaker::SetFileName(std::string_view utf8) { fileName_ = ForTable(utf8, encoding_); }

std::string_view RowMaker::Recode(std::string_view value, std::size_t column, RowFacts& facts) {
  if (recoder_ == nullptr) return value;
  recoded_.clear();
  const std::size_t unwritable = recoder_->Convert(value, recoded_);
  if (unwritable > 0 && (unwritableColumns_.empty() || unwritableColumns_.back() != column)) {
    unwritableColumns_.push_back(static_cast<std::uint32_t>(column));
  }
  facts.unwritable += unwritable;
  return recoded_;
}

std::vector<std::string> RowMaker::HeaderCells() const {
  std::vector<std::string> cells;
  cells.reserve(Columns());
  for (const FieldCode& code : Codes()) cells.push_back(ForTable(code.item, encoding_));
  return cells;
}
