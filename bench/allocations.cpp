// allocation count: the C allocator's entry points wrapped for the benchmark program, so a
// benchmark can show that what it measures allocates nothing.
#include "allocations.h"

#include <atomic>
#include <cstddef>

extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* p, size_t size);

namespace {
std::atomic<long> count{0};
}

extern "C" void* malloc(size_t size) {
  count.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}

extern "C" void* calloc(size_t n, size_t size) {
  count.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(n, size);
}

extern "C" void* realloc(void* p, size_t size) {
  count.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(p, size);
}

namespace vurkhold::bench {

long allocations() { return count.load(std::memory_order_relaxed); }

}  // namespace vurkhold::bench
