#include "app/field_list_schemes.h"

#include <algorithm>

#include "app/field_list_setting.h"

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000, the blank of a Chinese input method

std::string_view WithoutBlanksAround(std::string_view text) {
  for (bool trimmed = true; trimmed;) {
    trimmed = false;
    for (std::string_view blank : {std::string_view(" "), kIdeographicSpace}) {
      while (text.substr(0, blank.size()) == blank) {
        text.remove_prefix(blank.size());
        trimmed = true;
      }
      while (text.size() >= blank.size() && text.substr(text.size() - blank.size()) == blank) {
        text.remove_suffix(blank.size());
        trimmed = true;
      }
    }
  }
  return text;
}

std::size_t CountCharacters(std::string_view utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Letters compared as the registry compares names; only ASCII letters are
// folded here, which is all a list name usually holds besides Chinese.
bool SameIgnoringCase(std::string_view first, std::string_view second) {
  return first.size() == second.size() &&
         std::equal(first.begin(), first.end(), second.begin(), [](char a, char b) { return Lower(a) == Lower(b); });
}

bool BeforeIgnoringCase(const std::string& first, const std::string& second) {
  const auto lower = [](std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), Lower);
    return text;
  };
  const std::string a = lower(first), b = lower(second);
  return a != b ? a < b : first < second;
}

}  // namespace

SchemeName CheckSchemeName(std::string_view typed) {
  SchemeName checked;
  checked.name = WithoutBlanksAround(typed);
  const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
  if (checked.name.empty()) {
    checked.problem = SchemeNameProblem::Empty;
  } else if (std::any_of(checked.name.begin(), checked.name.end(), control)) {
    checked.problem = SchemeNameProblem::ControlCharacter;
  } else if (CountCharacters(checked.name) > kLongestSchemeName) {
    checked.problem = SchemeNameProblem::TooLong;
  }
  return checked;
}

std::vector<std::string> SchemeNames(SettingsStore& store) {
  std::vector<std::string> names = store.Keys(kSettingsApplication, kFieldListSchemesSection);
  // What another program put there under a name no list could have is no list.
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const std::string& name) {
                               const SchemeName checked = CheckSchemeName(name);
                               return checked.problem != SchemeNameProblem::None || checked.name != name;
                             }),
              names.end());
  std::sort(names.begin(), names.end(), BeforeIgnoringCase);
  return names;
}

std::optional<std::string> SchemeNamed(const std::vector<std::string>& names, std::string_view name) {
  const auto found = std::find(names.begin(), names.end(), name);
  if (found != names.end()) return *found;
  for (const std::string& each : names) {
    if (SameIgnoringCase(each, name)) return each;
  }
  return std::nullopt;
}

std::optional<std::string> LoadScheme(SettingsStore& store, const std::string& name) {
  return store.Get(kSettingsApplication, kFieldListSchemesSection, name);
}

bool SaveScheme(SettingsStore& store, const std::string& name, const std::string& list) {
  // The registry would keep the old spelling of the name: the old entry goes first.
  const std::optional<std::string> existing = SchemeNamed(SchemeNames(store), name);
  if (existing && *existing != name && !store.Delete(kSettingsApplication, kFieldListSchemesSection, *existing)) {
    return false;
  }
  return store.Save(kSettingsApplication, kFieldListSchemesSection, name, list);
}

bool DeleteScheme(SettingsStore& store, const std::string& name) {
  return store.Delete(kSettingsApplication, kFieldListSchemesSection, name);
}
