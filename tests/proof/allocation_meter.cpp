// Replaces the global allocation functions of the proof test binary with
// counting ones over malloc. Sanitizer runtimes intercept malloc and free, so
// their checks still see every block.
#include "allocation_meter.hpp"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> requested{0};

void* counted(std::size_t size) {
  requested.fetch_add(size, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
} // namespace

std::size_t proof::bytes_allocated() noexcept { return requested.load(std::memory_order_relaxed); }

void* operator new(std::size_t size) { return counted(size); }
void* operator new[](std::size_t size) { return counted(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
