#include <windows.h>

#include <climits>

#include "gbk_codec.h"
#include "win32_text.h"

namespace {
constexpr UINT kGbk = 936;  // explicit: the system's ANSI code page may be anything
}  // namespace

struct GbkCodec::State {
  bool toGbk = true;
};

GbkCodec::GbkCodec(TextEncoding from, TextEncoding to) : state_(std::make_unique<State>()) {
  state_->toGbk = from == TextEncoding::Utf8 && to == TextEncoding::Gbk;
}

GbkCodec::~GbkCodec() = default;

bool GbkCodec::Convert(std::string_view text, std::string& out) {
  if (text.empty()) return true;
  if (text.size() > static_cast<std::size_t>(INT_MAX / 2)) return false;
  if (state_->toGbk) {
    const std::optional<std::wstring> wide = WidenExact(text);
    if (!wide) return false;
    const int size = static_cast<int>(wide->size());
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide->data(), size, nullptr, 0, "?", &usedDefault);
    if (n <= 0 || usedDefault) return false;
    const std::size_t before = out.size();
    out.resize(before + static_cast<std::size_t>(n));
    WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide->data(), size, out.data() + before, n, "?", nullptr);
    return true;
  }
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (n <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), n);
  out += Narrow(wide);
  return true;
}
