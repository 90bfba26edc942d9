#pragma once

#include <stdexcept>
#include <string_view>

namespace tavrin {

/// The three floating-point faults a conversion can end with.
enum class FaultKind { overflow, invalid_operation, division_by_zero };

/// The short name of a fault, fit to show a user ("Overflow", ...).
std::string_view fault_name(FaultKind kind) noexcept;

/// Raised when a conversion or a number text leaves the double range or has no value.
class ArithmeticFault : public std::runtime_error {
public:
  explicit ArithmeticFault(FaultKind kind);
  /// Which fault it was.
  FaultKind kind() const noexcept { return kind_; }

private:
  FaultKind kind_;
};

/// Returns `result`, or raises the fault that a non-finite result stands for.
///
/// Every operand a rule sees is finite (the number reader never yields an
/// infinity or a NaN), so an overflow anywhere in a chain of operations leaves
/// an infinity at its end and an invalid operation leaves a NaN: reading the
/// result is the status test, and unlike the floating-point flags it cannot be
/// moved or dropped by the optimiser.
double checked(double result);

} // namespace tavrin
