// The test program's replacement of operator new and delete, with a failure
// that a test can arm. Memory comes from malloc and goes back to free in
// every case, so the sanitizers see matching pairs.
#include "failing_allocation.h"

#include <cstdlib>
#include <new>

namespace {
int allocations_before_failure = 0;
}  // namespace

void fail_allocation(int n) { allocations_before_failure = n; }
bool allocation_failure_pending() { return allocations_before_failure > 0; }

void* operator new(std::size_t size) {
  if (allocations_before_failure > 0 && --allocations_before_failure == 0) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
