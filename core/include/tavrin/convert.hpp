#pragma once

#include "tavrin/catalogue.hpp"
#include "tavrin/rule.hpp"

#include <cstddef>
#include <string_view>

namespace tavrin {

/// Total number of rules in all tables.
inline constexpr std::size_t rule_count = 474;

/// The rule for the exact pair (source, target), or nullptr when the pair has
/// none (unknown names, or units of different categories).
const Rule* find_rule(std::string_view source, std::string_view target);

/// The rule from the source unit at `from` to the target unit at `to` (as
/// find_source and find_target give them), or nullptr when they stand in
/// different categories.
const Rule* rule_at(UnitRef from, UnitRef to);

/// Converts the number at the start of `input` from `source` to `target`.
///
/// The input is read by parse_number (no number gives 0). A pair without a
/// rule gives 0. Raises ArithmeticFault when the input or the result leaves
/// the double range.
double convert(std::string_view input, std::string_view source, std::string_view target);

} // namespace tavrin
