#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "gbk_codec.h"

namespace {

// Code page 936 as Windows has it (GBK plus the euro sign at 0x80).
constexpr const char* kGbk = "CP936";

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Iconv() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts text; on an unconvertible or invalid sequence, appends
  // replacement (if given) and skips skipBytes bytes, else fails.
  std::optional<std::string> Convert(std::string_view text, const char* replacement, std::size_t skipBytes) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char chunk[256];
    while (inLeft > 0) {
      char* outPtr = chunk;
      std::size_t outLeft = sizeof chunk;
      const std::size_t result = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
      out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
      if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      if (replacement == nullptr) return std::nullopt;
      out += replacement;
      const std::size_t skip = errno == EINVAL ? inLeft : std::min(skipBytes, inLeft);
      in += skip;
      inLeft -= skip;
    }
    return out;
  }

 private:
  iconv_t handle_;
};

// Length of the UTF-8 sequence that starts with this byte (1 for a stray byte).
std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
  Iconv converter(kGbk, "UTF-8");
  return converter.Convert(utf8, nullptr, 0);
}

std::string Utf8ToGbkOrQuestionMarks(std::string_view utf8) {
  // Convert character by character so one bad character costs one '?'.
  std::string out;
  Iconv converter(kGbk, "UTF-8");
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t n = std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[at])), utf8.size() - at);
    const std::optional<std::string> one = converter.Convert(utf8.substr(at, n), nullptr, 0);
    // Windows replaces each UTF-16 unit, so a character beyond the BMP (four
    // UTF-8 bytes, a surrogate pair) becomes two: both builds write the same.
    out += one ? *one : n == 4 ? "??" : "?";
    at += n;
  }
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  Iconv converter("UTF-8", kGbk);
  return converter.Convert(gbk, "\xEF\xBF\xBD", 1).value_or(std::string());
}
