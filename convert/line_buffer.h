#pragma once
// The output lines of a run, gathered in memory and written in large pieces.
// Room for a whole line is made once, before the line is written, so the
// bytes of each cell are copied without a capacity check per piece.
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

class LineBuffer {
 public:
  // Makes room for at least `more` further bytes.
  void Reserve(std::size_t more) {
    if (size_ + more > bytes_.size()) bytes_.resize(std::max(2 * bytes_.size(), size_ + more));
  }

  // These append within the room made by Reserve.
  void Append(std::string_view text) {
    if (text.empty()) return;
    std::memcpy(bytes_.data() + size_, text.data(), text.size());
    size_ += text.size();
  }
  void Append(char c) { bytes_[size_++] = c; }

  // Appends a cell value with its tabs deleted: a tab would shift the columns.
  void AppendWithoutTabs(std::string_view value) {
    while (!value.empty()) {
      const void* tab = std::memchr(value.data(), '\t', value.size());
      if (tab == nullptr) break;
      const auto n = static_cast<std::size_t>(static_cast<const char*>(tab) - value.data());
      Append(value.substr(0, n));
      value.remove_prefix(n + 1);
    }
    Append(value);
  }

  const char* Data() const { return bytes_.data(); }
  std::size_t Size() const { return size_; }
  void Clear() { size_ = 0; }

 private:
  std::vector<char> bytes_;
  std::size_t size_ = 0;
};
