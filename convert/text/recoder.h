#pragma once
// Text from a record's encoding to the output's, with every character the
// output's encoding cannot hold replaced and counted: '?' in GBK ("??" for a
// character beyond the BMP), U+FFFD in UTF-8.
#include <optional>
#include <string>
#include <string_view>

#include "text/cp936.h"
#include "text/text_encoding.h"

class Recoder {
 public:
  Recoder(TextEncoding from, TextEncoding to);
  // Appends text to out; returns how many characters were replaced. GBK to
  // GBK passes through untouched.
  std::size_t Convert(std::string_view text, std::string& out);
  // How many of the replaced characters lay beyond the BMP, written as "??".
  std::size_t WrittenAsTwoMarks() const { return beyondBmp_; }

 private:
  std::size_t FromGbk(std::string_view text, std::string& out) const;
  std::size_t ToGbk(std::string_view text, std::string& out);
  static std::size_t CheckUtf8(std::string_view text, std::string& out);

  TextEncoding from_;
  TextEncoding to_;
  const cp936::EncodeTable* gbkCodes_ = nullptr;  // when writing GBK
  const cp936::Utf8Table* utf8Codes_ = nullptr;   // when reading GBK into UTF-8
  std::size_t beyondBmp_ = 0;
};

// UTF-8 to GBK exactly; nullopt when some character has no GBK form.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// For display: characters without a GBK form become '?' ("??" beyond the
// BMP, as Windows writes a surrogate pair).
std::string Utf8ToGbkOrQuestionMarks(std::string_view utf8);
