#include "field_list_setting.h"

#include "field_list.h"

bool FieldListSetting(std::string_view mode, SettingsStore& store, FieldListBox& box) {
  if (mode == "read") {
    const std::string stored = store.Get(kSettingsApplication, kSettingsSection, kSettingsKey, kAbsentMarker);
    box.SetText(stored == kAbsentMarker ? std::string(DefaultFieldList) : stored);
    return true;
  }
  return store.Save(kSettingsApplication, kSettingsSection, kSettingsKey, box.Text());
}
