#pragma once

#include "tavrin/catalogue.hpp"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tavrin {

/// Where a unit's definition is not unique: the convention its exact value assumes.
enum class Convention : std::uint8_t {
  none,            ///< the unit has one definition
  water_column,    ///< a conventional water column
  mercury_column,  ///< a conventional mercury column
  metric_ton,      ///< "Ton" read as the metric tonne
  normal_gas,      ///< a cubic metre of gas at 0 °C and 101.325 kPa
  standard_gas,    ///< a cubic foot of gas at 60 °F and 14.696 psi
};

/// One unit's exact definition, apart from the rule tables.
///
/// `value` is an exact expression read by parse_exact: decimal numbers, + − × /,
/// integer powers (^) and brackets. It gives the unit in the coherent SI unit
/// of its category, so a unit's exact factor to another is the quotient of
/// their values. A temperature is an affine expression in x, the reading on
/// its scale, giving kelvins ("x + 273.15").
struct ExactUnit {
  std::string_view unit;    ///< the unit's name in the source list
  std::string_view value;   ///< its exact value in the category's SI unit
  std::string_view source;  ///< where the value comes from
  Convention convention = Convention::none;  ///< the convention where the definition is not unique
  /// Gas flows only: the flow at the unit's own customary reference conditions
  /// as p·V/T in Pa·m³/(K·s), which is R times the amount of gas per second.
  std::string_view customary = {};
};

/// One category's coherent SI unit and the exact definitions of its units, in list order.
struct ExactCategory {
  std::string_view si_unit;          ///< "m", "m³", "Pa·s", ...
  std::span<const ExactUnit> units;  ///< one a unit, in the catalogue's list order
};

/// The exact definitions of the category at `index` in catalogue order.
ExactCategory exact_units_at(std::size_t index);

/// The exact definition of the unit at a source or target place (both lists
/// of a category hold the same units, only spelt differently in Torque).
const ExactUnit& exact_unit(UnitRef place);

/// What a convention assumes, in one sentence for the user; empty for none.
std::string_view convention_text(Convention convention);

} // namespace tavrin
