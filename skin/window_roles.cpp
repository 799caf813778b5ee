#include "window_roles.h"

#include <array>

namespace {
constexpr std::array<std::wstring_view, 3> kButtonClasses = {
    L"thundercommandbutton", L"thunderrt6commandbutton", L"button"};
constexpr std::array<std::wstring_view, 4> kHostClasses = {
    L"#32770", L"thunderformdc", L"thunderrt6formdc", L"form"};
constexpr std::wstring_view kHelpClass = L"newhelpclass";

template <typename List>
bool Contains(const List& list, std::wstring_view name) {
  for (std::wstring_view item : list) {
    if (item == name) return true;
  }
  return false;
}
}  // namespace

std::wstring LowerCaseAscii(std::wstring_view text) {
  std::wstring lower(text);
  for (wchar_t& c : lower) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return lower;
}

WindowRole RoleOfClass(std::wstring_view class_name) {
  const std::wstring lower = LowerCaseAscii(class_name);
  if (Contains(kButtonClasses, lower)) return WindowRole::Button;
  if (Contains(kHostClasses, lower)) return WindowRole::Host;
  return WindowRole::Other;
}

bool IsActivationHostClass(std::wstring_view class_name) {
  const std::wstring lower = LowerCaseAscii(class_name);
  return Contains(kHostClasses, lower) || lower == kHelpClass;
}

std::wstring WithoutPrefix(std::wstring_view caption) {
  std::wstring shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&' && ++i == caption.size()) break;
    shown += caption[i];
  }
  return shown;
}
