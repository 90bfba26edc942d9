// Exact arithmetic for the accuracy audit.
//
// The unit definitions and the table's constants are exact decimals, and
// every exact factor between two units is a quotient of products of them, so
// rational numbers over integers of any size hold every figure of the audit
// without rounding. That is what lets a rule that matches its definition
// (Inches to Centimetres × 2.54) show a deviation of exactly 0 rather than the
// 1e-16 a double would leave, and a rule off by 3e-8 show its digits rather
// than the noise of a subtraction of nearly equal doubles. Numbers become
// text only at the end, rounded once, to the digits asked for.
#pragma once

#include <boost/multiprecision/cpp_int.hpp>

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

/// An exact rational number of any size, kept in lowest terms
/// (Boost.Multiprecision).
using Rational = boost::multiprecision::cpp_rational;

/// The exact value of a decimal such as "0.45359237" or "1609344" (no sign,
/// no exponent); throws std::invalid_argument for anything else.
Rational exact_decimal(std::string_view text);

/// A value rounded to a number of significant digits: digits × 10^exponent.
struct RoundedDecimal {
  bool negative = false;    ///< below 0
  std::uint64_t digits = 0; ///< exactly the significant digits asked for, or 0 for 0
  int exponent = 0;         ///< the power of ten of the last digit
};

/// `value` rounded to `significant` digits (1 to 18), half away from zero.
RoundedDecimal round_decimal(const Rational& value, int significant);

/// `value` in plain decimal notation (no exponent) rounded to `significant`
/// digits (1 to 18), half away from zero: "5.614583333", "0.0000006213711922",
/// "-2.75325". Trailing zeros after the point are dropped unless `keep_zeros`;
/// 0 is "0". Locale-free.
std::string decimal_text(const Rational& value, int significant, bool keep_zeros = false);

/// The double nearest to `value`, ties to even, as IEEE 754 rounds: one
/// rounding of the exact value, in the subnormal range too; ±infinity where
/// `value` rounds beyond the largest double. For scales and colours, never
/// for the figures, which decimal_text rounds from the exact value itself.
double nearest_double(const Rational& value);

/// An exact affine relation y = slope × x + offset.
struct Affine {
  Rational slope = 1;   ///< the factor of x
  Rational offset = 0;  ///< the constant term

  /// `outer` applied to the result of `inner`.
  friend Affine compose(const Affine& outer, const Affine& inner);
  friend bool operator==(const Affine& a, const Affine& b) = default;
};

/// Reads an exact expression: decimal numbers, x, + − × / (also - and *),
/// integer powers such as 0.3048^3 or 10^−7, and brackets, as the unit
/// definitions and the table's formulas write them. The result must be affine
/// in x: a product needs a side without x, a divisor or a power's base must be
/// free of x. Throws std::invalid_argument for anything else.
Affine parse_exact(std::string_view text);

} // namespace tavrin
