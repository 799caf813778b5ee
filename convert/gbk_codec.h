#pragma once
// Conversion between GBK (code page 936) and UTF-8, the platform's own:
// iconv on POSIX, MultiByteToWideChar/WideCharToMultiByte on Windows.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text_encoding.h"

// Exact conversion of whole texts in one direction, kept open between calls.
class GbkCodec {
 public:
  GbkCodec(TextEncoding from, TextEncoding to);
  ~GbkCodec();
  GbkCodec(const GbkCodec&) = delete;
  GbkCodec& operator=(const GbkCodec&) = delete;

  // Appends the converted text to out; false, with nothing appended, when
  // some character has no exact form or the text is not valid.
  bool Convert(std::string_view text, std::string& out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// UTF-8 to GBK exactly; nullopt when some character has no GBK form.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// For display: characters without a GBK form become '?' ("??" beyond the
// BMP, as Windows writes a surrogate pair).
std::string Utf8ToGbkOrQuestionMarks(std::string_view utf8);
