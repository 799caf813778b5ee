#pragma once
// What a check of thousands of codes found wrong, kept short enough to read:
// how many, and the first few.
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

inline std::string FirstFew(const std::vector<std::string>& differences) {
  std::string text = std::to_string(differences.size()) + " differ, the first:";
  for (std::size_t i = 0; i < differences.size() && i < 8; ++i) text += "\n  " + differences[i];
  return text;
}
