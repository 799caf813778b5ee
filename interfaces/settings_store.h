#pragma once
#include <optional>
#include <string>

// The per-user settings store: one text per application, section and key.
// The registry on Windows; tests keep theirs in memory.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or nullopt when the entry does not exist.
  virtual std::optional<std::string> Get(const std::string& application, const std::string& section,
                                         const std::string& key) = 0;
  // Creates or replaces the entry. False when the store could not be written.
  virtual bool Save(const std::string& application, const std::string& section, const std::string& key,
                    const std::string& value) = 0;
};
