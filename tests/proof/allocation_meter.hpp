// Counts what the global operator new hands out, so a test can show that a
// call on a huge text takes no memory in proportion to it.
#pragma once

#include <cstddef>

namespace proof {

/// Bytes requested from the global operator new since the process started.
std::size_t bytes_allocated() noexcept;

/// Measures the bytes requested from operator new between its construction and a call of bytes().
class AllocationMeter {
public:
  AllocationMeter() noexcept : start_(bytes_allocated()) {}
  /// Bytes requested since construction (freed ones included: an upper bound on the peak).
  std::size_t bytes() const noexcept { return bytes_allocated() - start_; }

private:
  std::size_t start_;
};

} // namespace proof
