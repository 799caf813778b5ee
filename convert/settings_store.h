#pragma once
#include <string>

// The per-user settings store: one text per application, section and key.
// The registry on Windows, a small file elsewhere.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or defaultValue when the entry does not exist.
  virtual std::string Get(const std::string& application, const std::string& section,
                          const std::string& key, const std::string& defaultValue) = 0;
  // Creates or replaces the entry. False when the store could not be written.
  virtual bool Save(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& value) = 0;
};
