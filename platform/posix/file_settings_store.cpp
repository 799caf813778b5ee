#include "file_settings_store.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

std::string Escape(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '\\') out += "\\\\";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
  }
  return out;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::string SectionHeader(const std::string& application, const std::string& section) {
  return "[" + application + "/" + section + "]";
}

// Index of the key's line inside the section, or the line to insert before
// (the end of the section), and whether the key was found.
struct Place {
  std::size_t line = 0;
  bool sectionFound = false;
  bool keyFound = false;
};

Place Find(const std::vector<std::string>& lines, const std::string& header, const std::string& key) {
  Place place;
  place.line = lines.size();
  std::size_t i = 0;
  while (i < lines.size() && lines[i] != header) ++i;
  if (i == lines.size()) return place;
  place.sectionFound = true;
  for (++i; i < lines.size() && (lines[i].empty() || lines[i][0] != '['); ++i) {
    if (lines[i].compare(0, key.size() + 1, key + "=") == 0) {
      place.line = i;
      place.keyFound = true;
      return place;
    }
  }
  place.line = i;
  return place;
}

void MakeParentDirectories(const std::string& path) {
  for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1)) {
    ::mkdir(path.substr(0, at).c_str(), 0700);
  }
}

}  // namespace

std::string FileSettingsStore::Get(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) {
  const std::vector<std::string> lines = ReadLines(path_);
  const Place place = Find(lines, SectionHeader(application, section), key);
  if (!place.keyFound) return defaultValue;
  return Unescape(lines[place.line].substr(key.size() + 1));
}

bool FileSettingsStore::Save(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) {
  std::vector<std::string> lines = ReadLines(path_);
  const std::string header = SectionHeader(application, section);
  const Place place = Find(lines, header, key);
  const std::string entry = key + "=" + Escape(value);
  if (place.keyFound) {
    lines[place.line] = entry;
  } else if (place.sectionFound) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.line), entry);
  } else {
    lines.push_back(header);
    lines.push_back(entry);
  }
  // Written beside the old file and renamed over it, so a failed write never
  // leaves a half-written settings file.
  MakeParentDirectories(path_);
  const std::string temporary = path_ + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << '\n';
    if (!out.flush()) return false;
  }
  return std::rename(temporary.c_str(), path_.c_str()) == 0;
}

std::string DefaultSettingsPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && *config != '\0') return std::string(config) + "/quirnel/settings.ini";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : ".") + "/.config/quirnel/settings.ini";
}
