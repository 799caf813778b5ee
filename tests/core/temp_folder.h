#pragma once
// A fresh folder under the system's temporary folder, removed with its
// content at the end of the test. Paths are handed to the core as UTF-8.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    do {
      path_ = base / ("quirnel-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // A path inside the folder, as UTF-8.
  std::string File(const std::string& name) const { return (path_ / name).u8string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& utf8Path, const std::string& bytes) {
  std::ofstream out(std::filesystem::u8path(utf8Path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& utf8Path) {
  std::ifstream in(std::filesystem::u8path(utf8Path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
