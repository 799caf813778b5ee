#pragma once
#include <optional>
#include <string>
#include <vector>

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
  // The keys of the section's text entries, in no particular order; none
  // when the section does not exist.
  virtual std::vector<std::string> Keys(const std::string& application, const std::string& section) = 0;
  // Removes the entry. False when it is still there afterwards; an entry
  // that never was is no failure.
  virtual bool Delete(const std::string& application, const std::string& section, const std::string& key) = 0;
};
