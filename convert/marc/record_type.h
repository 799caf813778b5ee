#pragma once
// The names of the record types, for the pseudo-code "000?", chosen by the
// leader's type-of-record byte.
#include <array>
#include <string>
#include <string_view>

#include "text/text_encoding.h"

class RecordTypeNames {
 public:
  // The names written in the output's encoding.
  explicit RecordTypeNames(TextEncoding encoding);
  // "" for a byte outside the table (an upper-case letter included).
  std::string_view For(char typeOfRecord) const;

 private:
  std::array<std::string, 15> names_;
};
