#pragma once
// The per-user settings in the registry: application and section name the key
// HKEY_CURRENT_USER\Software\<application>\<section>, the key names a REG_SZ
// value under it.
#include <string>

#include "settings_store.h"

class RegistrySettingsStore : public SettingsStore {
 public:
  std::string Get(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& defaultValue) override;
  bool Save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override;
};
