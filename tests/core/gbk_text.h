#pragma once
// Test texts are written in UTF-8; records and output files hold GBK.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "gbk_codec.h"

inline std::string Gbk(std::string_view utf8) {
  const std::optional<std::string> gbk = Utf8ToGbk(utf8);
  if (!gbk) throw std::invalid_argument("no GBK form");
  return *gbk;
}
