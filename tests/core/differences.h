#pragma once
// What a check of thousands of codes found wrong, kept short enough to read:
// how many, and the first few.
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// "AAA1" for the bytes 0xAA 0xA1.
inline std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : bytes) text += {kDigits[c >> 4], kDigits[c & 0xF]};
  return text;
}

class Differences {
 public:
  void Add(std::string what) {
    if (first_.size() < kShown) first_.push_back(std::move(what));
    ++count_;
  }
  std::size_t Count() const { return count_; }

  friend std::ostream& operator<<(std::ostream& out, const Differences& differences) {
    out << differences.count_ << " differ, the first:";
    for (const std::string& what : differences.first_) out << "\n  " << what;
    return out;
  }

 private:
  static constexpr std::size_t kShown = 8;
  std::vector<std::string> first_;
  std::size_t count_ = 0;
};
