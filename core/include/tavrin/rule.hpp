#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

/// How a rule computes its result from the input value x.
enum class RuleKind : std::uint8_t {
  none,      ///< no rule: the pair is not in one category
  identity,  ///< x, unchanged; never faults
  scale,     ///< x × factor
  formula,   ///< a named formula (scaled powers of ten, the affine temperature rules)
};

/// A named formula, with its text as the rule table writes it.
struct Formula {
  double (*apply)(double x);  ///< evaluates the formula in the table's order of operations
  std::string_view text;      ///< for example "((x × 9) / 5) + 32"
};

/// One cell of a rule table.
struct Rule {
  RuleKind kind = RuleKind::none;
  double factor = 0.0;               ///< the scale rule's constant
  std::string_view factor_text;      ///< the constant as the table writes it ("0.000001")
  const Formula* formula = nullptr;  ///< the formula rule's formula

  /// The rule as the table writes it: "x", "x × 2.54" or the formula.
  std::string text() const;
};

/// The identity rule.
constexpr Rule identity_rule() { return {RuleKind::identity, 1.0, {}, nullptr}; }

/// The scale rule x × factor; `text` is the constant as written in the table.
constexpr Rule scale_rule(double factor, std::string_view text) {
  return {RuleKind::scale, factor, text, nullptr};
}

/// A scale rule whose constant is held as a 16-bit integer and widened to double.
constexpr Rule widened_scale_rule(std::int16_t factor, std::string_view text) {
  return {RuleKind::scale, static_cast<double>(factor), text, nullptr};
}

/// A rule computed by a named formula.
constexpr Rule formula_rule(const Formula& formula) {
  return {RuleKind::formula, 0.0, {}, &formula};
}

/// Applies `rule` to x in double precision; raises ArithmeticFault on overflow
/// or an invalid operation. Must not be called with a `none` rule.
double apply(const Rule& rule, double x);

} // namespace tavrin
