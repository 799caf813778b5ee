#include "app/field_list_setting.h"

#include "conversion.h"

namespace {
constexpr const char* kOldAbsentMarker = "NotExsists";
}  // namespace

std::optional<std::string> LoadFieldList(SettingsStore& store) {
  std::optional<std::string> stored = store.Get(kSettingsApplication, kSettingsSection, kFieldListKey);
  if (stored && *stored == kOldAbsentMarker) return std::nullopt;
  return stored;
}

bool SaveFieldList(SettingsStore& store, const std::string& list) {
  return store.Save(kSettingsApplication, kSettingsSection, kFieldListKey, list);
}

OutputType LoadOutputType(SettingsStore& store) {
  const std::optional<std::string> stored = store.Get(kSettingsApplication, kSettingsSection, kOutputTypeKey);
  for (const TableFormat& format : TableFormats()) {
    if (stored == format.settingWord) return format.type;
  }
  return OutputType::GbkText;
}

bool SaveOutputType(SettingsStore& store, OutputType type) {
  return store.Save(kSettingsApplication, kSettingsSection, kOutputTypeKey, FormatOf(type).settingWord);
}

HeaderStyle LoadHeaderStyle(SettingsStore& store) {
  const std::optional<std::string> stored = store.Get(kSettingsApplication, kSettingsSection, kHeaderStyleKey);
  return stored ? HeaderStyleNamed(*stored).value_or(HeaderStyle::Codes) : HeaderStyle::Codes;
}

bool SaveHeaderStyle(SettingsStore& store, HeaderStyle style) {
  return store.Save(kSettingsApplication, kSettingsSection, kHeaderStyleKey, std::string(HeaderStyleWord(style)));
}

std::string JoinSeparatorSetting(SettingsStore& store) {
  const std::optional<std::string> stored = store.Get(kSettingsApplication, kSettingsSection, kJoinSeparatorKey);
  // A tab or a line break would split the joined cell: such a value is no separator.
  const bool usable = stored && stored->find_first_of("\t\r\n") == std::string::npos;
  return usable ? *stored : ConversionRequest().joinSeparator;
}
