// Every request for memory of the test program, failing above
// g_largestAllocation, so that a run can be made to meet a full memory.
// Kept apart from the tests: where the compiler sees both these and a call,
// it warns that free() meets memory from operator new.
#include <cstdlib>
#include <new>

#include "test_support.h"

void* operator new(std::size_t size) {
  void* memory = size <= g_largestAllocation ? std::malloc(size == 0 ? 1 : size) : nullptr;
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return size <= g_largestAllocation ? std::malloc(size == 0 ? 1 : size) : nullptr;
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
