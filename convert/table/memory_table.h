#pragma once
// Rows kept in memory, each cell as tab-delimited text holds it (no tab, a
// blank for each line break): what the preview shows of a conversion's rows.
#include <string>
#include <string_view>
#include <vector>

#include "text/text_cell.h"

class MemoryTable {
 public:
  using Row = std::vector<std::string>;

  void StartRow() {
    rows_.emplace_back();
    cell_.clear();
  }
  void Add(std::string_view value, bool mayHoldTabs) {
    if (mayHoldTabs) {
      text_cell::Write(value, [this](std::string_view piece) { cell_ += piece; });
    } else {
      cell_ += value;
    }
  }
  void EndCell() {
    rows_.back().push_back(cell_);
    cell_.clear();
  }

  std::vector<Row>& Rows() { return rows_; }

 private:
  std::vector<Row> rows_;
  std::string cell_;
};
