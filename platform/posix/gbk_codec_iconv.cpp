#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "gbk_codec.h"

namespace {
// Code page 936 as Windows has it (GBK plus the euro sign at 0x80).
constexpr const char* kGbk = "CP936";
const auto kNoHandle = reinterpret_cast<iconv_t>(-1);
}  // namespace

struct GbkCodec::State {
  iconv_t handle = kNoHandle;
};

GbkCodec::GbkCodec(TextEncoding from, TextEncoding to) : state_(std::make_unique<State>()) {
  const auto name = [](TextEncoding encoding) { return encoding == TextEncoding::Gbk ? kGbk : "UTF-8"; };
  state_->handle = iconv_open(name(to), name(from));
  // Without it every character would silently become '?'; the run stops instead.
  if (state_->handle == kNoHandle) throw std::runtime_error("本机的iconv不支持GBK（CP936）编码");
}

GbkCodec::~GbkCodec() { iconv_close(state_->handle); }

bool GbkCodec::Convert(std::string_view text, std::string& out) {
  iconv(state_->handle, nullptr, nullptr, nullptr, nullptr);
  const std::size_t before = out.size();
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char chunk[512];
  while (inLeft > 0) {
    char* outPtr = chunk;
    std::size_t outLeft = sizeof chunk;
    const std::size_t result = iconv(state_->handle, &in, &inLeft, &outPtr, &outLeft);
    out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.resize(before);
      return false;
    }
  }
  return true;
}
