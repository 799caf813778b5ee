#pragma once
// A path's folder and name, split at its last slash.
#include <string>

namespace posix_files {

// Up to and with the last slash, so that a name can follow it; "" for a bare name.
inline std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

inline std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace posix_files
