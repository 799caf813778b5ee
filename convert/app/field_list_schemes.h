#pragma once
// Field lists kept under names of the user's ("字段方案"), one entry of the
// settings store each, so that a library can keep a list for every job and
// switch between them in a moment.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings_store.h"

// Beside the program's other settings, in a section of their own: a list
// may then be named like any of those without taking its place.
inline constexpr const char* kFieldListSchemesSection = "Sorrelant\\FieldLists";

// Long enough for any name a person types, short enough for a menu.
inline constexpr std::size_t kLongestSchemeName = 64;

enum class SchemeNameProblem {
  None,
  Empty,
  TooLong,           // more than kLongestSchemeName characters
  ControlCharacter,  // a line break, a tab, a NUL: the registry cannot name a value with a NUL, and a
                     // menu shows none of them
};

struct SchemeName {
  std::string name;  // as it is kept: the name typed without the blanks around it
  SchemeNameProblem problem = SchemeNameProblem::None;
};

// The name typed (UTF-8), ready to be kept, or why it cannot be.
SchemeName CheckSchemeName(std::string_view typed);

// The names of the saved lists, in alphabetical order, letter case aside.
std::vector<std::string> SchemeNames(SettingsStore& store);

// The name among `names` that `name` stands for: the registry tells names
// apart only by more than letter case. nullopt when there is none.
std::optional<std::string> SchemeNamed(const std::vector<std::string>& names, std::string_view name);

// The list saved under the name, or nullopt when there is none.
std::optional<std::string> LoadScheme(SettingsStore& store, const std::string& name);

// Keeps the list under the name, in place of a list of the same name in
// any letter case, which then takes this spelling. False when the store
// could not be written.
bool SaveScheme(SettingsStore& store, const std::string& name, const std::string& list);

// False when the list is still there afterwards.
bool DeleteScheme(SettingsStore& store, const std::string& name);
