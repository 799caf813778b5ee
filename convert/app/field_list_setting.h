#pragma once
// Keeps the field list from one start of the program to the next, and what
// is stored beside it: the separator of joined codes, the kind of output
// file chosen last, and what the header row shows.
#include <optional>
#include <string>

#include "app/window_run.h"
#include "settings_store.h"

// Where the list is stored.
inline constexpr const char* kSettingsApplication = "Pellmoor";
inline constexpr const char* kSettingsSection = "Sorrelant";
inline constexpr const char* kFieldListKey = "Setting";
// Beside the field list, an entry the user may add: what goes between the
// occurrences of a joined code ("701a*").
inline constexpr const char* kJoinSeparatorKey = "JoinSeparator";
inline constexpr const char* kOutputTypeKey = "OutputType";
// The header row's style, as HeaderStyleWord names it.
inline constexpr const char* kHeaderStyleKey = "HeaderStyle";
// The window's language, "zh" or "en", when the user wants another than
// their Windows'.
inline constexpr const char* kLanguageKey = "Language";

// The stored list, unchanged; nullopt when nothing is stored, and the window
// then shows DefaultFieldList. A stored "NotExsists", the word that once
// stood for "nothing stored", still reads so.
std::optional<std::string> LoadFieldList(SettingsStore& store);
// False when the store could not be written.
bool SaveFieldList(SettingsStore& store, const std::string& list);

// The separator for joined codes: the stored one, or "; " when none is
// stored or the stored one holds a tab or a line break.
std::string JoinSeparatorSetting(SettingsStore& store);

// The kind of output file chosen last, GBK text when none was (or the stored
// word is none of "gbk", "utf-8", "xlsx").
OutputType LoadOutputType(SettingsStore& store);
bool SaveOutputType(SettingsStore& store, OutputType type);

// The header row's style chosen last; codes when none was (or the stored
// word is none of "codes", "names", "both").
HeaderStyle LoadHeaderStyle(SettingsStore& store);
bool SaveHeaderStyle(SettingsStore& store, HeaderStyle style);
