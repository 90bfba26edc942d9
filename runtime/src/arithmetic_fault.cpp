#include "tavrin/arithmetic_fault.hpp"

#include <cmath>
#include <string>

namespace tavrin {

std::string_view fault_name(FaultKind kind) noexcept {
  switch (kind) {
  case FaultKind::overflow: return "Overflow";
  case FaultKind::invalid_operation: return "Invalid operation";
  case FaultKind::division_by_zero: return "Division by zero";
  }
  return "Arithmetic fault";
}

namespace {
std::string message_of(FaultKind kind) {
  switch (kind) {
  case FaultKind::overflow:
    // The value read (1e400) or a result: the text holds for both.
    return "Overflow: beyond the range of a double-precision number";
  case FaultKind::invalid_operation:
    return "Invalid operation: the result is not a number";
  case FaultKind::division_by_zero:
    return "Division by zero";
  }
  return "Arithmetic fault";
}
} // namespace

ArithmeticFault::ArithmeticFault(FaultKind kind)
    : std::runtime_error(message_of(kind)), kind_(kind) {}

double checked(double result) {
  if (std::isinf(result)) throw ArithmeticFault(FaultKind::overflow);
  if (std::isnan(result)) throw ArithmeticFault(FaultKind::invalid_operation);
  return result;
}

} // namespace tavrin
