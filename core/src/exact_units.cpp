// The exact definitions of the catalogue's 80 units, apart from the rule
// tables: one value a unit, in the coherent SI unit of its category.
//
// Every value is exact: the defining decimals of the international yard and
// pound (1959: inch 0.0254 m, pound 0.45359237 kg), standard gravity
// 9.80665 m/s² (CGPM 1901), the US gallon of 231 in³, the imperial gallon of
// 4.54609 L (UK Weights and Measures Act 1985), the petroleum barrel of 42 US
// gallons, and the exact conversion factors of NIST SP 811 (2008) Appendix B,
// whose rounded figures are noted beside the compound units as a check.
// A unit's exact factor to another unit is the quotient of their values.
#include "tavrin/exact_units.hpp"

#include "rule_tables.hpp"

#include <array>

namespace tavrin {

namespace {

using C = Convention;

// The two sources most of the units come from.
constexpr std::string_view si = "SI prefixes (SI Brochure, 9th edition)";
constexpr std::string_view yard_pound = "international yard and pound, 1959";

// clang-format off

// Metres.
constexpr std::array<ExactUnit, 8> length{{
  {"Millimetres", "0.001",    si},
  {"Centimetres", "0.01",     si},
  {"Metres",      "1",        "SI base unit"},
  {"Kilometres",  "1000",     si},
  {"Inches",      "0.0254",   yard_pound},
  {"Feet",        "0.3048",   yard_pound},                                 // 12 in
  {"Yards",       "0.9144",   yard_pound},
  {"Miles",       "1609.344", "international mile, 5280 ft (NIST SP 811 B.8)"},
}};

// Square metres.
constexpr std::array<ExactUnit, 6> area{{
  {"mm Square", "0.001^2",  si},
  {"cm Square", "0.01^2",   si},
  {"m Square",  "1",        "SI coherent unit"},
  {"In Square", "0.0254^2", yard_pound},                                   // NIST 6.4516 E-04
  {"Ft Square", "0.3048^2", yard_pound},                                   // NIST 9.290 304 E-02
  {"Yd Square", "0.9144^2", yard_pound},                                   // NIST 8.361 274 E-01
}};

// Cubic metres.
constexpr std::array<ExactUnit, 8> volume{{
  {"cmCube",    "0.01^3",              si},
  {"mCube",     "1",                   "SI coherent unit"},
  {"Litre",     "0.001",               "litre = 1 dm³ (CGPM 1964)"},
  {"inCube",    "0.0254^3",            yard_pound},                        // NIST 1.638 706 E-05
  {"ftCube",    "0.3048^3",            yard_pound},                        // NIST 2.831 685 E-02
  {"USGallon",  "231 × 0.0254^3",      "US gallon = 231 in³ (NIST SP 811 B.8)"},  // NIST 3.785 412 E-03
  {"ImpGallon", "0.00454609",          "imperial gallon = 4.54609 L (UK Weights and Measures Act 1985)"},
  {"US barrel", "42 × 231 × 0.0254^3", "petroleum barrel = 42 US gallons (NIST SP 811 B.8)"},  // NIST 1.589 873 E-01
}};

// Kilograms.
constexpr std::array<ExactUnit, 7> mass{{
  {"Grams",         "0.001",             si},
  {"Kilograms",     "1",                 "SI base unit"},
  {"Metric Tonnes", "1000",              "tonne = 1000 kg (SI Brochure, 9th edition)"},
  {"Short ton",     "2000 × 0.45359237", "short ton = 2000 lb (NIST SP 811 B.8)"},   // NIST 9.071 847 E+02
  {"Long ton",      "2240 × 0.45359237", "long ton = 2240 lb (NIST SP 811 B.8)"},    // NIST 1.016 047 E+03
  {"Pounds",        "0.45359237",        yard_pound},                                // avoirdupois pound
  {"Ounces",        "0.45359237 / 16",   "avoirdupois ounce = 1/16 lb (NIST SP 811 B.8)"},  // NIST 2.834 952 E-02
}};

// Kilograms per cubic metre.
constexpr std::array<ExactUnit, 4> density{{
  {"Gram / ml",        "0.001 / 0.01^3",          "millilitre = 1 cm³ (CGPM 1964)"},
  {"Kilogram / mCube", "1",                       "SI coherent unit"},
  {"Pound / ftCube",   "0.45359237 / 0.3048^3",   yard_pound},             // NIST 1.601 846 E+01
  {"Pound / inCube",   "0.45359237 / 0.0254^3",   yard_pound},             // NIST 2.767 990 E+04
}};

// Metres per second.
constexpr std::array<ExactUnit, 6> speed{{
  {"m / sec",   "1",                 "SI coherent unit"},
  {"m / min",   "1 / 60",            "minute = 60 s"},
  {"km / h",    "1000 / 3600",       "hour = 3600 s"},
  {"Ft / sec",  "0.3048",            yard_pound},
  {"Ft / min",  "0.3048 / 60",       yard_pound},                          // NIST 5.08 E-03
  {"Miles / h", "1609.344 / 3600",   "international mile, 5280 ft (NIST SP 811 B.8)"},  // NIST 4.4704 E-01
}};

// Newton metres. The pound-force is the pound under standard gravity.
constexpr std::array<ExactUnit, 4> torque{{
  {"Newton metre",         "1",                              "SI coherent unit"},
  {"Kilogram force metre", "9.80665",                        "kilogram-force = 9.80665 N, standard gravity (CGPM 1901)"},
  {"Foot Pound",           "0.45359237 × 9.80665 × 0.3048",  "pound-force foot, lbf = 0.45359237 kg × 9.80665 m/s² (NIST SP 811 B.8)"},  // NIST 1.355 818 E+00
  {"Inch Pound",           "0.45359237 × 9.80665 × 0.0254",  "pound-force inch, lbf = 0.45359237 kg × 9.80665 m/s² (NIST SP 811 B.8)"},  // NIST 1.129 848 E-01
}};

// Kelvins, as exact affine relations in the reading x.
constexpr std::array<ExactUnit, 3> temperature{{
  {"Degrees Celcius",    "x + 273.15",          "t/°C = T/K − 273.15 (SI Brochure, 9th edition)"},
  {"Degrees Fahrenheit", "(x + 459.67) / 1.8",  "T/K = (t/°F + 459.67)/1.8 (NIST SP 811 B.9)"},
  {"Kelvin",             "x",                   "SI base unit"},
}};

// Pascal seconds.
constexpr std::array<ExactUnit, 3> dynamic_viscosity{{
  {"Centipoise",     "0.001",                "poise = 0.1 Pa·s (NIST SP 811 B.8)"},
  {"Poise",          "0.1",                  "poise = 0.1 Pa·s (NIST SP 811 B.8)"},
  {"Pound / ft.sec", "0.45359237 / 0.3048",  yard_pound},                  // NIST 1.488 164 E+00
}};

// Square metres per second.
constexpr std::array<ExactUnit, 4> kinematic_viscosity{{
  {"Centistoke",     "0.000001",   "stokes = 1 cm²/s (NIST SP 811 B.8)"},
  {"Stoke",          "0.0001",     "stokes = 1 cm²/s (NIST SP 811 B.8)"},
  {"ftSquare / sec", "0.3048^2",   yard_pound},                            // NIST 9.290 304 E-02
  {"mSquare / sec",  "1",          "SI coherent unit"},
}};

// Cubic metres per second.
constexpr std::array<ExactUnit, 7> volumetric_liquid_flow{{
  {"Litre / sec",    "0.001",                        "litre = 1 dm³ (CGPM 1964)"},
  {"Litre / min",    "0.001 / 60",                   "litre = 1 dm³ (CGPM 1964)"},
  {"Metre Cube/hr",  "1 / 3600",                     "hour = 3600 s"},
  {"Ft Cube/min",    "0.3048^3 / 60",                yard_pound},          // NIST 4.719 474 E-04
  {"Ft Cube/hr",     "0.3048^3 / 3600",              yard_pound},          // NIST 7.865 79 E-06
  {"US gallons/min", "231 × 0.0254^3 / 60",          "US gallon = 231 in³ (NIST SP 811 B.8)"},  // NIST 6.309 020 E-05
  {"US barrels/day", "42 × 231 × 0.0254^3 / 86400",  "petroleum barrel = 42 US gallons (NIST SP 811 B.8)"},  // NIST 1.840 131 E-06
}};

// Cubic metres per second, all at one reference condition: a change of
// volume unit. `customary` is each unit at its own customary conditions, as
// p·V/T: normal 0 °C (273.15 K) and 101.325 kPa (DIN 1343); standard 60 °F
// (519.67 °R = 519.67/1.8 K) and 14.696 psi, the psi as in High Pressure.
constexpr std::array<ExactUnit, 3> volumetric_gas_flow{{
  {"Normal metre cube/h", "1 / 3600", "hour = 3600 s; normal conditions 0 °C, 101.325 kPa (DIN 1343)",
   C::normal_gas,   "1 / 3600 × 101325 / 273.15"},
  {"Standard cubic ft/h", "0.3048^3 / 3600", "international foot; standard conditions 60 °F, 14.696 psi",
   C::standard_gas, "0.3048^3 / 3600 × (14.696 × 0.45359237 × 9.80665 / 0.0254^2) / ((60 + 459.67) / 1.8)"},
  {"Standard cubic ft/min", "0.3048^3 / 60", "international foot; standard conditions 60 °F, 14.696 psi",
   C::standard_gas, "0.3048^3 / 60 × (14.696 × 0.45359237 × 9.80665 / 0.0254^2) / ((60 + 459.67) / 1.8)"},
}};

// Kilograms per second. The table's own factors make "Ton" the metric tonne:
// Kilogram / hr to Ton / hr is × 0.001 and Ton / hr to Pound / hr × 2204.586.
constexpr std::array<ExactUnit, 4> mass_flow{{
  {"Kilogram / hr", "1 / 3600",            "hour = 3600 s"},
  {"Pound / hr",    "0.45359237 / 3600",   yard_pound},                    // NIST 1.259 979 E-04
  {"Kilogram / s",  "1",                   "SI coherent unit"},
  {"Ton / hr",      "1000 / 3600",         "tonne = 1000 kg (SI Brochure, 9th edition)", C::metric_ton},
}};

// Pascals. The conventional millimetre of mercury is 13595.1 kg/m³ (mercury
// at 0 °C) × 9.80665 m/s² × 0.001 m = 133.322387415 Pa exactly.
constexpr std::array<ExactUnit, 7> high_pressure{{
  {"Bar",                 "100000",                             "bar = 100 kPa (NIST SP 811 B.8)"},
  {"Pound/Square Inch",   "0.45359237 × 9.80665 / 0.0254^2",    "lbf/in², lbf = 0.45359237 kg × 9.80665 m/s² (NIST SP 811 B.8)"},  // NIST 6.894 757 E+03
  {"Kilopascal",          "1000",                               si},
  {"Megapascal",          "1000000",                            si},
  {"Kg Force/ cm Square", "9.80665 / 0.01^2",                   "kilogram-force = 9.80665 N (CGPM 1901)"},  // NIST 9.806 65 E+04
  {"mm of mercury",       "133.322387415",                      "conventional millimetre of mercury (NIST SP 811 B.8)", C::mercury_column},  // NIST 1.333 224 E+02
  {"Atmospheres",         "101325",                             "standard atmosphere = 101325 Pa (CGPM 1954)"},
}};

// Pascals. Conventional water columns are 1000 kg/m³ × 9.80665 m/s² × height;
// conventional mercury columns as in High Pressure.
constexpr std::array<ExactUnit, 6> low_pressure{{
  {"Metre of Water",    "1000 × 9.80665",                 "conventional metre of water (NIST SP 811 B.8)", C::water_column},      // 9806.65
  {"Ft of Water",       "1000 × 9.80665 × 0.3048",        "conventional foot of water (NIST SP 811 B.8)", C::water_column},       // NIST 2.989 067 E+03
  {"Cm of Mercury",     "133.322387415 × 10",             "conventional centimetre of mercury (NIST SP 811 B.8)", C::mercury_column},  // NIST 1.333 224 E+03
  {"Inches of Mercury", "133.322387415 × 25.4",           "conventional inch of mercury (NIST SP 811 B.8)", C::mercury_column},   // NIST 3.386 389 E+03
  {"Inches of Water",   "1000 × 9.80665 × 0.0254",        "conventional inch of water (NIST SP 811 B.8)", C::water_column},       // NIST 2.490 889 E+02
  {"Pascal",            "1",                              "SI coherent unit"},
}};

// clang-format on

constexpr std::array<ExactCategory, category_count> categories{{
    {"m", length},
    {"m²", area},
    {"m³", volume},
    {"kg", mass},
    {"kg/m³", density},
    {"m/s", speed},
    {"N·m", torque},
    {"K", temperature},
    {"Pa·s", dynamic_viscosity},
    {"m²/s", kinematic_viscosity},
    {"m³/s", volumetric_liquid_flow},
    {"m³/s", volumetric_gas_flow},
    {"kg/s", mass_flow},
    {"Pa", high_pressure},
    {"Pa", low_pressure},
}};

// One definition for every unit, under the source list's name and in its order.
static_assert([] {
  for (std::size_t c = 0; c < category_count; ++c) {
    const auto& names = data::catalogue[c];
    if (categories[c].units.size() != names.size) return false;
    for (std::size_t i = 0; i < names.size; ++i)
      if (categories[c].units[i].unit != names.sources[i] || categories[c].units[i].value.empty() ||
          categories[c].units[i].source.empty())
        return false;
  }
  return true;
}(), "the exact definitions follow the catalogue unit for unit");

} // namespace

ExactCategory exact_units_at(std::size_t index) {
  return index < category_count ? categories[index] : ExactCategory{};
}

const ExactUnit& exact_unit(UnitRef place) {
  return categories.at(place.category).units[place.index];
}

std::string_view convention_text(Convention convention) {
  switch (convention) {
  case C::water_column:
    return "a conventional water column (water of 1000 kg/m³ under standard gravity 9.80665 m/s²)";
  case C::mercury_column:
    return "a conventional mercury column (mercury of 13595.1 kg/m³, at 0 °C, under standard "
           "gravity 9.80665 m/s²)";
  case C::metric_ton:
    return "the ton is the metric tonne of 1000 kg, as the table's own factors show "
           "(Kilogram / hr to Ton / hr is × 0.001)";
  case C::normal_gas:
    return "a cubic metre of gas at the normal conditions 0 °C and 101.325 kPa";
  case C::standard_gas:
    return "a cubic foot of gas at the standard conditions 60 °F and 14.696 psi";
  case C::none: break;
  }
  return {};
}

} // namespace tavrin
