#include <windows.h>

#include "gbk_codec.h"

namespace {

constexpr UINT kGbk = 936;  // explicit: the system's ANSI code page may be anything

std::optional<std::wstring> Utf8ToWide(std::string_view utf8, DWORD flags) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, nullptr, 0);
  if (n == 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, wide.data(), n);
  return wide;
}

std::string WideToGbk(const std::wstring& wide, BOOL* usedDefault) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, "?", usedDefault);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), n, "?", usedDefault);
  return out;
}

std::string WideToUtf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
  const std::optional<std::wstring> wide = Utf8ToWide(utf8, MB_ERR_INVALID_CHARS);
  if (!wide) return std::nullopt;
  BOOL usedDefault = FALSE;
  std::string gbk = WideToGbk(*wide, &usedDefault);
  if (usedDefault) return std::nullopt;
  return gbk;
}

std::string Utf8ToGbkOrQuestionMarks(std::string_view utf8) {
  BOOL usedDefault = FALSE;
  return WideToGbk(Utf8ToWide(utf8, 0).value_or(std::wstring()), &usedDefault);
}

std::string GbkToUtf8(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int size = static_cast<int>(gbk.size());
  const int n = MultiByteToWideChar(kGbk, 0, gbk.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kGbk, 0, gbk.data(), size, wide.data(), n);
  return WideToUtf8(wide);
}
