#pragma once
// One window of a file mapped for reading. A file that another program cuts
// short under a window would end this process with SIGBUS at the first byte
// read past its new end; instead those pages are replaced by pages of zero
// bytes, and the window says it is damaged, which the reader then reports.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace posix_files {

class MappedWindow {
 public:
  MappedWindow() = default;
  ~MappedWindow();
  MappedWindow(const MappedWindow&) = delete;
  MappedWindow& operator=(const MappedWindow&) = delete;

  // The bytes [offset, offset + size) of the file fd, which must have them,
  // in place of the window mapped before. nullopt when they cannot be mapped;
  // the window mapped before then stays.
  std::optional<std::string_view> Map(int fd, std::uint64_t offset, std::size_t size);
  // Whether the file shrank under a window of this one's.
  bool Damaged() const { return damaged_ || (slot_ >= 0 && SlotDamaged()); }

 private:
  void Unmap();
  bool SlotDamaged() const;

  void* base_ = nullptr;
  std::size_t length_ = 0;
  int slot_ = -1;  // in the table the fault handler looks in
  bool damaged_ = false;
};

}  // namespace posix_files
