#pragma once
// The output lines of a run, gathered in memory and written in large pieces.
// Room is made before each piece is copied, from the size really copied, with
// arithmetic that cannot wrap: a line is only as long as what it holds.
#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "text/text_cell.h"

class LineBuffer {
 public:
  // Makes room for at least `more` further bytes; std::length_error when no
  // buffer could hold them.
  void Reserve(std::size_t more) {
    if (more > bytes_.size() - size_) Grow(more);
  }

  // These append within the room made by Reserve.
  void Append(std::string_view text) {
    if (text.empty()) return;
    std::memcpy(bytes_.data() + size_, text.data(), text.size());
    size_ += text.size();
  }
  void Append(char c) { bytes_[size_++] = c; }

  // Appends a cell value as text cells hold it (see text_cell.h), within
  // the room made for the value: the cell is never longer.
  void AppendCellText(std::string_view value) {
    text_cell::Write(value, [this](std::string_view piece) { Append(piece); });
  }

  // Adds to the cell being made: a value that may hold tabs or line breaks
  // as text cells hold it, another as it is.
  void AddToCell(std::string_view value, bool mayHoldTabs) {
    Reserve(value.size() + 1);
    if (mayHoldTabs) {
      AppendCellText(value);
    } else {
      Append(value);
    }
  }
  void EndCell() {
    Reserve(1);
    Append('\t');
  }

  // Ends the line being written with CR LF.
  void EndLine() {
    Reserve(2);
    Append("\r\n");
    lineEnd_ = size_;
  }
  // Appends a whole line made elsewhere, its CR LF included.
  void AppendLine(std::string_view line) {
    Reserve(line.size());
    Append(line);
    lineEnd_ = size_;
  }

  // The complete lines gathered so far.
  std::string_view Lines() const { return std::string_view(bytes_.data(), lineEnd_); }
  std::size_t Size() const { return size_; }
  std::size_t Capacity() const { return bytes_.size(); }
  void Clear() { size_ = lineEnd_ = 0; }

 private:
  void Grow(std::size_t more) {
    const std::size_t most = bytes_.max_size();
    if (more > most - size_) throw std::length_error("output line too long");
    const std::size_t doubled = bytes_.size() <= most / 2 ? 2 * bytes_.size() : most;
    bytes_.resize(std::max(size_ + more, doubled));
  }

  std::vector<char> bytes_;
  std::size_t size_ = 0;
  std::size_t lineEnd_ = 0;
};
