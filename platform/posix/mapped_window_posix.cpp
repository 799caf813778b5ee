#include "mapped_window.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <limits>
#include <mutex>

namespace posix_files {

namespace {

// The windows mapped now, as the fault handler sees them: plain atomics,
// which a signal handler may read. A window that finds no free place is not
// mapped (the file is read instead).
struct Slot {
  std::atomic<bool> used{false};
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};
  std::atomic<bool> damaged{false};
};
constexpr int kSlots = 64;
// The window's pages made present in one call rather than one fault each.
#ifdef MAP_POPULATE
constexpr int kPopulated = MAP_POPULATE;
#else
constexpr int kPopulated = 0;
#endif
Slot g_slots[kSlots];
std::uintptr_t g_pageSize = 4096;
struct sigaction g_previous;

// A fault in a window: the file ends before the page. The window's pages
// from there on become zero pages, and the read that faulted goes on.
// Any other fault is handed back to what handled it before.
void OnBusError(int number, siginfo_t* info, void* context) {
  const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (Slot& slot : g_slots) {
    const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
    const std::uintptr_t end = slot.end.load(std::memory_order_acquire);
    if (address < begin || address >= end) continue;
    const std::uintptr_t page = address & ~(g_pageSize - 1);
    char* const pageStart = static_cast<char*>(info->si_addr) - (address - page);
    void* const zeros = ::mmap(pageStart, end - page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros == MAP_FAILED) break;
    slot.damaged.store(true, std::memory_order_release);
    return;
  }
  if ((g_previous.sa_flags & SA_SIGINFO) != 0 && g_previous.sa_sigaction != nullptr) {
    g_previous.sa_sigaction(number, info, context);
    return;
  }
  // The handler before ours (the default one, most likely) takes over: the
  // faulting read runs again, or a signal sent by kill is sent again.
  ::sigaction(number, &g_previous, nullptr);
  if (info->si_code <= 0) ::raise(number);
}

void InstallHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    const long page = ::sysconf(_SC_PAGESIZE);
    if (page > 0) g_pageSize = static_cast<std::uintptr_t>(page);
    struct sigaction action = {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &g_previous);
  });
}

int TakeSlot(std::uintptr_t begin, std::uintptr_t end) {
  for (int i = 0; i < kSlots; ++i) {
    bool expected = false;
    if (!g_slots[i].used.compare_exchange_strong(expected, true)) continue;
    g_slots[i].damaged.store(false);
    g_slots[i].end.store(end, std::memory_order_release);
    g_slots[i].begin.store(begin, std::memory_order_release);
    return i;
  }
  return -1;
}

void ReleaseSlot(int slot) {
  g_slots[slot].begin.store(0, std::memory_order_release);
  g_slots[slot].end.store(0, std::memory_order_release);
  g_slots[slot].used.store(false, std::memory_order_release);
}

}  // namespace

MappedWindow::~MappedWindow() { Unmap(); }

bool MappedWindow::SlotDamaged() const { return g_slots[slot_].damaged.load(std::memory_order_acquire); }

void MappedWindow::Unmap() {
  if (base_ == nullptr) return;
  if (slot_ >= 0) {
    damaged_ = damaged_ || SlotDamaged();
    ReleaseSlot(slot_);
    slot_ = -1;
  }
  ::munmap(base_, length_);
  base_ = nullptr;
}

std::optional<std::string_view> MappedWindow::Map(int fd, std::uint64_t offset, std::size_t size) {
  InstallHandler();
  const std::uint64_t start = offset - offset % g_pageSize;
  const auto lead = static_cast<std::size_t>(offset - start);
  if (size == 0 || size > std::numeric_limits<std::size_t>::max() - lead ||
      start > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
    return std::nullopt;
  }
  const std::size_t length = lead + size;
  void* const base = ::mmap(nullptr, length, PROT_READ, MAP_SHARED | kPopulated, fd, static_cast<off_t>(start));
  if (base == MAP_FAILED) return std::nullopt;
  const auto begin = reinterpret_cast<std::uintptr_t>(base);
  const std::uintptr_t end = begin + (length + g_pageSize - 1) / g_pageSize * g_pageSize;
  const int slot = TakeSlot(begin, end);
  if (slot < 0) {
    ::munmap(base, length);
    return std::nullopt;
  }
  Unmap();
  base_ = base;
  length_ = length;
  slot_ = slot;
  return std::string_view(static_cast<const char*>(base) + lead, size);
}

}  // namespace posix_files
