#include "row_maker.h"

#include <algorithm>
#include <charconv>

#include "marc/field_list.h"

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

// The other spellings of the items (other letter case, no blanks inside),
// each once, and the columns each may be meant for.
std::vector<FieldCode> ProbesOf(const std::vector<std::string>& items, std::map<std::string, std::size_t>& bySpelling,
                                std::vector<std::vector<std::size_t>>& columns) {
  std::vector<FieldCode> probes;
  for (std::size_t column = 0; column < items.size(); ++column) {
    for (std::string& spelling : NearMissesOf(items[column])) {
      const auto known = bySpelling.find(spelling);
      if (known != bySpelling.end()) {
        columns[known->second].push_back(column);
        continue;
      }
      FieldCode code = ParseFieldCode(spelling);
      if (code.kind == FieldCode::Kind::AlwaysEmpty) continue;
      bySpelling.emplace(std::move(spelling), probes.size());
      probes.push_back(std::move(code));
      columns.push_back({column});
    }
  }
  return probes;
}

}  // namespace

RowMaker::RowMaker(const std::vector<std::string>& items, std::string_view joinSeparator, TextEncoding tableEncoding,
                   HeaderStyle header, Language language)
    : encoding_(tableEncoding),
      typeNames_(tableEncoding),
      extractor_(CodesOf(items), typeNames_, ProbesOf(items, probeOfSpelling_, probeColumns_)),
      separator_(ForTable(joinSeparator, tableEncoding)),
      fromGbk_(TextEncoding::Gbk, tableEncoding),
      fromUtf8_(TextEncoding::Utf8, tableEncoding),
      filled_(extractor_.Columns(), 0),
      header_(header),
      language_(language),
      probeFound_(probeColumns_.size(), 0) {
  for (const FieldCode& code : Codes()) isFileName_.push_back(code.kind == FieldCode::Kind::FileName ? 1 : 0);
  for (std::size_t probe = 0; probe < probeColumns_.size(); ++probe) probing_.push_back(probe);
}

void RowMaker::SetFileName(std::string_view utf8, std::int64_t recordsBefore) {
  fileName_ = ForTable(utf8, encoding_);
  records_ = recordsBefore;
}

void RowMaker::Absorb(const std::vector<std::uint32_t>& filled, std::size_t filledBegin, std::size_t filledEnd,
                      const std::vector<std::uint32_t>& foundProbes, std::size_t probesBegin, std::size_t probesEnd) {
  for (std::size_t i = filledBegin; i < filledEnd; ++i) filled_[filled[i]] = 1;
  for (std::size_t i = probesBegin; i < probesEnd; ++i) probeFound_[foundProbes[i]] = 1;
}

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
  for (std::size_t column = 0; column < Columns(); ++column) {
    cells.push_back(ForTable(ColumnTitle(Codes()[column], header_, language_), encoding_));
  }
  return cells;
}

std::string_view RowMaker::RecordNumber() {
  const char* const end = std::to_chars(number_.data(), number_.data() + number_.size(), records_).ptr;
  return std::string_view(number_.data(), static_cast<std::size_t>(end - number_.data()));
}

// A probe is read until it finds a value, or every column it may be meant
// for has one of its own: for a list that is right, after a record or two.
void RowMaker::CheckProbes() {
  for (std::size_t i = 0; i < probing_.size();) {
    const std::size_t probe = probing_[i];
    if (extractor_.ProbeFound(probe) && probeFound_[probe] == 0) {
      probeFound_[probe] = 1;
      newlyFoundProbes_.push_back(static_cast<std::uint32_t>(probe));
    }
    const std::vector<std::size_t>& columns = probeColumns_[probe];
    const bool needed = std::any_of(columns.begin(), columns.end(), [&](std::size_t c) { return filled_[c] == 0; });
    if (probeFound_[probe] != 0 || !needed) {
      extractor_.StopProbing(probe);
      probing_[i] = probing_.back();
      probing_.pop_back();
    } else {
      ++i;
    }
  }
}

std::string RowMaker::HintFor(std::size_t column) const {
  if (Filled(column)) return {};
  for (const std::string& spelling : NearMissesOf(Codes()[column].item)) {
    const auto probe = probeOfSpelling_.find(spelling);
    if (probe != probeOfSpelling_.end() && probeFound_[probe->second] != 0) return spelling;
  }
  return {};
}
