#include "field_list_setting.h"

#include "conversion_run.h"
#include "field_list.h"

bool FieldListSetting(std::string_view mode, SettingsStore& store, FieldListBox& box) {
  if (mode == "read") {
    const std::string stored = store.Get(kSettingsApplication, kSettingsSection, kSettingsKey, kAbsentMarker);
    box.SetText(stored == kAbsentMarker ? std::string(DefaultFieldList) : stored);
    return true;
  }
  return store.Save(kSettingsApplication, kSettingsSection, kSettingsKey, box.Text());
}

std::string JoinSeparatorSetting(SettingsStore& store) {
  const std::string stored = store.Get(kSettingsApplication, kSettingsSection, kJoinSeparatorKey, kAbsentMarker);
  // A tab or a line break would split the joined cell: such a value is no separator.
  const bool usable = stored != kAbsentMarker && stored.find_first_of("\t\r\n") == std::string::npos;
  return usable ? stored : std::string(RunOptions().joinSeparator);
}
