#pragma once
// The settings store of non-Windows builds: an INI-like text file,
//   [application/section]
//   key=value
// with backslash, CR and LF in values written as \\, \r and \n, so line
// breaks come back exactly as they were saved.
#include <string>

#include "settings_store.h"

class FileSettingsStore : public SettingsStore {
 public:
  explicit FileSettingsStore(std::string path) : path_(std::move(path)) {}

  std::string Get(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& defaultValue) override;
  bool Save(const std::string& application, const std::string& section, const std::string& key,
            const std::string& value) override;

 private:
  std::string path_;
};

// $XDG_CONFIG_HOME/quirnel/settings.ini, or ~/.config/quirnel/settings.ini.
std::string DefaultSettingsPath();
