// How far each rule of the table is from the exact definitions of its units.
//
// What "deviation" measures: the rule as the table writes it, evaluated in
// exact arithmetic, against the exact relation of the two units' definitions.
// For a scale rule x × c it is c / exact − 1, the relative error of every
// result of the rule whatever x is (the double product adds at most half an
// ulp on top, which is not the table's doing). The two scaled powers of ten
// are taken as written, 6.21 × 10^−7 and 9.8 × 10^−7. The temperature rules
// are affine formulas; the deviation is that of their slope (the factor of a
// temperature difference), and a formula is exact only when its offset is
// exact too. All six temperature formulas are exact relations, so their
// deviation is 0 at every x; evaluating them in doubles rounds, which again is
// no deviation of the rule.
#pragma once

#include "tavrin/catalogue.hpp"
#include "tavrin/exact_number.hpp"
#include "tavrin/rule.hpp"

#include <cstddef>
#include <optional>
#include <vector>

namespace tavrin {

/// A rule against the exact relation of one pair of definitions.
struct Deviation {
  Affine exact;        ///< the exact relation between the two units
  Rational relative;   ///< the written slope / the exact slope − 1; 0 when they agree
  bool is_exact = false;  ///< the written rule is the exact relation, slope and offset
};

/// The audit of one rule.
struct RuleAudit {
  UnitRef from;                ///< the source unit's place
  UnitRef to;                  ///< the target unit's place
  const Rule* rule = nullptr;  ///< the table's rule
  Affine written;              ///< the rule as written, in exact arithmetic
  Deviation deviation;         ///< against the unit definitions
  /// This rule followed by the reverse rule, exactly: slope 1 and offset 0
  /// when the two are exact inverses.
  Affine round_trip;
  /// Gas flows only: against each unit at its own customary reference
  /// conditions instead of one common condition.
  std::optional<Deviation> customary;
};

/// The rule as the table writes it, in exact arithmetic: the decimal constant
/// of a scale rule, or the formula read by parse_exact.
Affine written_relation(const Rule& rule);

/// Audits the rule from the source place `from` to the target place `to` of one category.
RuleAudit audit_rule(UnitRef from, UnitRef to);

/// Every rule except the identities, of one category or of all: worst first
/// by |deviation|, rules with equal deviations in catalogue order.
std::vector<RuleAudit> audit_rules(std::optional<std::size_t> category = std::nullopt);

/// For a category whose units have customary reference conditions (the gas
/// flows): the largest |deviation| of its rules at one common condition and
/// at each unit's customary conditions, which shows which the table matches.
struct ConditionsCheck {
  Rational worst_common;     ///< largest |deviation| with both units at one condition
  Rational worst_customary;  ///< largest |deviation| at each unit's own conditions
};

/// The check of the category at `index`; none when its units have no customary conditions.
std::optional<ConditionsCheck> check_conditions(std::size_t index);

} // namespace tavrin
