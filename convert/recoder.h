#pragma once
// Text from a record's encoding to the output's, with every character the
// output's encoding cannot hold replaced and counted: '?' in GBK ("??" for a
// character beyond the BMP), U+FFFD in UTF-8.
#include <optional>
#include <string>
#include <string_view>

#include "gbk_codec.h"
#include "text_encoding.h"

class Recoder {
 public:
  Recoder(TextEncoding from, TextEncoding to);
  // Appends text to out; returns how many characters were replaced. GBK to
  // GBK passes through untouched.
  std::size_t Convert(std::string_view text, std::string& out);

 private:
  std::size_t ByCharacter(std::string_view text, std::string& out);
  std::size_t CharacterLength(std::string_view text, std::size_t at, bool& valid) const;

  TextEncoding from_;
  TextEncoding to_;
  std::optional<GbkCodec> codec_;  // when the encodings differ
};
