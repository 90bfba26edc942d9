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

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

/// A non-negative integer of any size.
class Natural {
public:
  Natural() = default;
  /// The integer `value`.
  explicit Natural(std::uint64_t value);

  /// True for 0.
  bool is_zero() const { return limbs_.empty(); }
  /// The number of bits up to the highest set bit; 0 for 0.
  std::size_t bit_width() const;
  /// This number times 2^bits.
  Natural shifted_left(std::size_t bits) const;

  friend Natural operator+(const Natural& a, const Natural& b);
  /// a − b; `a` must not be less than `b`.
  friend Natural operator-(const Natural& a, const Natural& b);
  friend Natural operator*(const Natural& a, const Natural& b);
  friend std::strong_ordering operator<=>(const Natural& a, const Natural& b);
  friend bool operator==(const Natural& a, const Natural& b) = default;

private:
  std::vector<std::uint32_t> limbs_;  // least significant first, no zero limbs on top
};

/// 10^exponent.
Natural power_of_ten(unsigned exponent);

/// An exact rational number: a sign, a numerator and a positive denominator.
/// Fractions are not reduced; comparisons cross-multiply.
class Rational {
public:
  Rational() : den_(1) {}
  /// The integer `value`.
  Rational(std::int64_t value);  // NOLINT: integers are rationals
  /// numerator / denominator; the denominator must not be 0.
  Rational(bool negative, Natural numerator, Natural denominator);

  /// The exact value of a decimal such as "0.45359237" or "1609344" (no sign,
  /// no exponent); throws std::invalid_argument for anything else.
  static Rational from_decimal(std::string_view text);

  /// True for 0.
  bool is_zero() const { return num_.is_zero(); }
  /// True below 0.
  bool negative() const { return negative_ && !is_zero(); }
  /// The numerator's magnitude.
  const Natural& numerator() const { return num_; }
  /// The denominator, never 0.
  const Natural& denominator() const { return den_; }
  /// |this|.
  Rational magnitude() const { return {false, num_, den_}; }

  friend Rational operator-(const Rational& a);
  friend Rational operator+(const Rational& a, const Rational& b);
  friend Rational operator-(const Rational& a, const Rational& b);
  friend Rational operator*(const Rational& a, const Rational& b);
  /// a / b; throws std::domain_error when b is 0.
  friend Rational operator/(const Rational& a, const Rational& b);
  friend std::strong_ordering operator<=>(const Rational& a, const Rational& b);
  friend bool operator==(const Rational& a, const Rational& b);

private:
  bool negative_ = false;
  Natural num_;
  Natural den_;
};

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

/// The double nearest to `value` rounded to 17 significant digits; for scales and colours, never for the figures.
double approximate(const Rational& value);

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
