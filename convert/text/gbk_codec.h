#pragma once
// Exact conversion between GBK (code page 936 as Windows has it) and UTF-8,
// the same in every build.
#include <string>
#include <string_view>

#include "text/recoder.h"
#include "text/text_encoding.h"

// Exact conversion of whole texts in one direction.
class GbkCodec {
 public:
  GbkCodec(TextEncoding from, TextEncoding to);

  // Appends the converted text to out; false, with nothing appended, when
  // some character has no exact form or the text is not valid.
  bool Convert(std::string_view text, std::string& out);

 private:
  bool gbkToGbk_;
  Recoder recoder_;
};
