#include "directory_number.h"

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::optional<long> ReadDirectoryNumber(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  std::size_t digits = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++digits) value = value * 10 + (text[i] - '0');
  if (i < n && text[i] == '.') {
    ++i;
    for (; i < n && IsDigit(text[i]); ++i) ++digits;  // fraction digits: dropped
  }
  while (i < n && text[i] == ' ') ++i;
  if (digits == 0 || i != n) return std::nullopt;
  return negative ? -value : value;
}
