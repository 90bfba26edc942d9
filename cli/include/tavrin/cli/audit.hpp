#pragma once

#include "tavrin/audit.hpp"
#include "tavrin/cli/conversion.hpp"
#include "tavrin/cli/listing.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace tavrin::cli {

/// The header of `--audit --csv`, without the line end.
inline constexpr std::string_view audit_csv_header =
    "category,from,to,rule,exact,deviation_percent,round_trip";

/// Every non-identity rule, or one category's, worst first: the rule, the
/// exact factor (or formula) to 10 significant digits, the deviation in
/// percent and the round trip. The aligned form adds a note column and notes
/// on the conventions the figures assume.
Outcome audit_listing(std::optional<std::string_view> category, TableForm form);

/// The lines --explain adds about the definitions of a pair:
/// "by definition: x × 5.614583333 (this rule is 6.865 % high)", then a line
/// for each convention the figure assumes.
std::string definition_lines(UnitRef from, UnitRef to);

/// One SVG heat map a category (or the one named), rows the source units,
/// columns the target units, each cell coloured by |deviation| on a log scale
/// and holding its figure.
std::string audit_svg(std::optional<std::size_t> category = std::nullopt);

/// Writes audit_svg to the file at `path` ("-" is standard output).
Outcome write_audit_svg(std::optional<std::string_view> category, std::string_view path);

/// An exact relation as a factor to `digits` significant digits
/// ("5.614583333") or, with an offset, a formula in the table's notation
/// ("x × 1.8 + 32", "x − 273.15").
std::string relation_text(const Affine& relation, int digits);

/// The deviation as a signed percentage to `significant` digits ("+6.865",
/// "-2.753", "0"), the percent sign left to the caller.
std::string percent_text(const Rational& relative, int significant);

} // namespace tavrin::cli
