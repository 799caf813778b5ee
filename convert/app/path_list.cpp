#include "app/path_list.h"

#include "conversion.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trimmed(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

void AddPath(std::vector<std::string>& paths, const std::string& path) {
  if (!path.empty()) paths.push_back(path);
}

// A text without quotes: a path on each line.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    AddPath(paths, Trimmed(text.substr(start, end == std::string::npos ? std::string::npos : end - start)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return paths;
}

// The dot of the name's extension, or npos: not in a folder's name, not a
// name's first character (".profile").
std::size_t ExtensionDot(const std::string& path) {
  const std::size_t nameStart = path.size() - NameWithoutFolder(path).size();
  const std::size_t dot = path.find_last_of('.');
  return dot == std::string::npos || dot <= nameStart ? std::string::npos : dot;
}

// ".txt", ".XLSX": in any letter case.
bool IsTableExtension(std::string extension) {
  for (char& c : extension) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  for (const TableFormat& format : TableFormats()) {
    if (extension == format.extension) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> ParsePathList(const std::string& text) {
  if (text.find('"') == std::string::npos) return Lines(text);
  std::vector<std::string> paths;
  std::size_t at = 0;
  while (at < text.size()) {
    if (IsBlank(text[at])) {
      ++at;
    } else if (text[at] == '"') {
      const std::size_t close = text.find('"', at + 1);
      const std::size_t end = close == std::string::npos ? text.size() : close;
      AddPath(paths, Trimmed(text.substr(at + 1, end - at - 1)));
      at = end + 1;
    } else {
      std::size_t end = at;
      while (end < text.size() && !IsBlank(text[end]) && text[end] != '"') ++end;
      AddPath(paths, text.substr(at, end - at));
      at = end;
    }
  }
  return paths;
}

std::string JoinPathList(const std::vector<std::string>& paths) {
  if (paths.size() == 1) return paths.front();
  std::string text;
  for (const std::string& path : paths) {
    if (!text.empty()) text += ' ';
    text += '"' + path + '"';
  }
  return text;
}

std::string ProposedOutput(const std::string& firstInput, OutputType type) {
  if (firstInput.empty()) return "";
  const std::size_t dot = ExtensionDot(firstInput);
  return firstInput.substr(0, dot) + FormatOf(type).extension;
}

std::string WithExtensionOf(const std::string& path, OutputType type) {
  const std::size_t dot = ExtensionDot(path);
  const bool table = dot != std::string::npos && IsTableExtension(path.substr(dot));
  return (table ? path.substr(0, dot) : path) + FormatOf(type).extension;
}
