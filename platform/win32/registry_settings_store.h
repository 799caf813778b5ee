#pragma once
// The per-user settings in the registry: application and section name the key
// HKEY_CURRENT_USER\Software\<application>\<section>, the key names a REG_SZ
// value under it.
#include <optional>
#include <string>
#include <vector>

#include "settings_store.h"

// The key under HKEY_CURRENT_USER that holds a section's values.
std::wstring RegistryKeyPath(const std::string& application, const std::string& section);

class RegistrySettingsStore : public SettingsStore {
 public:
  std::optional<std::string> Get(const std::string& application, const std::string& section,
                                 const std::string& key) override;
  bool Save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override;
  std::vector<std::string> Keys(const std::string& application, const std::string& section) override;
  bool Delete(const std::string& application, const std::string& section, const std::string& key) override;
};
