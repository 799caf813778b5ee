#pragma once
// Keeps the field list from one start of the program to the next.
#include <string>
#include <string_view>

#include "settings_store.h"

// Where the list is stored, and the word the store returns for "nothing stored".
inline constexpr const char* kSettingsApplication = "Pellmoor";
inline constexpr const char* kSettingsSection = "Sorrelant";
inline constexpr const char* kSettingsKey = "Setting";
inline constexpr const char* kAbsentMarker = "NotExsists";
// Beside the field list, an entry the user may add: what goes between the
// occurrences of a joined code ("701a*").
inline constexpr const char* kJoinSeparatorKey = "JoinSeparator";

// The field-list box, as FieldListSetting sees it.
class FieldListBox {
 public:
  virtual ~FieldListBox() = default;
  virtual std::string Text() = 0;
  virtual void SetText(const std::string& text) = 0;
};

// Mode "read" (exactly, case-sensitive) loads the stored list into the box,
// or DefaultFieldList when nothing is stored; every other mode saves the box's
// text unchanged. Returns false only when a save could not be written.
bool FieldListSetting(std::string_view mode, SettingsStore& store, FieldListBox& box);

// The separator for joined codes: the stored one, or "; " when none is
// stored or the stored one holds a tab or a line break.
std::string JoinSeparatorSetting(SettingsStore& store);
