// The unit catalogue and its rule tables: constant data only.
//
// One table per category, in catalogue order. Each table has a row per source
// unit and a column per target unit, both in list order, so it can be held
// beside the printed table and compared cell by cell:
//   X        the identity rule (x unchanged)
//   S(c)     the scale rule x × c, c the double nearest to the decimal written
//   W(c)     x × c with c held as a 16-bit integer and widened to double
//   F(name)  a named formula, evaluated in the order its brackets show
// The factors are the product's own rounded values; a rule and its reverse are
// not reciprocals, and no rule is derived from another.
#pragma once

#include "tavrin/catalogue.hpp"
#include "tavrin/rule.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <string_view>

namespace tavrin::data {

inline constexpr std::size_t max_units = 8;

using Names = std::array<std::string_view, max_units>;
using Matrix = std::array<std::array<Rule, max_units>, max_units>;

/// A unit category: its name, its two unit lists and its n × n rules.
struct Category {
  std::string_view name;
  std::size_t size = 0;
  Names sources;
  Names targets;
  Matrix rules;
};

constexpr std::size_t count_names(const Names& names) {
  std::size_t n = 0;
  while (n < names.size() && !names[n].empty()) ++n;
  return n;
}

constexpr Category category(std::string_view name, const Names& sources, const Names& targets,
                            const Matrix& rules) {
  return {name, count_names(sources), sources, targets, rules};
}

constexpr Category category(std::string_view name, const Names& units, const Matrix& rules) {
  return category(name, units, units, rules);
}

// ---------------------------------------------------------------------------
// Named formulas. 10^-7 is computed by the power function each time rather
// than written as a literal, as the table prescribes; both give the same double.

inline double millimetres_to_miles(double x) { return (std::pow(10.0, -7.0) * 6.21) * x; }
inline double grams_to_long_tons(double x) { return std::pow(10.0, -7.0) * (x * 9.8); }
inline double celcius_to_fahrenheit(double x) { return ((x * 9.0) / 5.0) + 32.0; }
inline double celcius_to_kelvin(double x) { return x + 273.15; }
inline double fahrenheit_to_celcius(double x) { return ((x - 32.0) * 5.0) / 9.0; }
inline double fahrenheit_to_kelvin(double x) { return (x + 459.67) / 1.8; }
inline double kelvin_to_celcius(double x) { return x - 273.15; }
inline double kelvin_to_fahrenheit(double x) { return (x * 1.8) - 459.67; }

inline constexpr Formula mm_to_mi{millimetres_to_miles, "(10^−7 × 6.21) × x"};
inline constexpr Formula g_to_lton{grams_to_long_tons, "10^−7 × (x × 9.8)"};
inline constexpr Formula c_to_f{celcius_to_fahrenheit, "((x × 9) / 5) + 32"};
inline constexpr Formula c_to_k{celcius_to_kelvin, "x + 273.15"};
inline constexpr Formula f_to_c{fahrenheit_to_celcius, "((x − 32) × 5) / 9"};
inline constexpr Formula f_to_k{fahrenheit_to_kelvin, "(x + 459.67) / 1.8"};
inline constexpr Formula k_to_c{kelvin_to_celcius, "x − 273.15"};
inline constexpr Formula k_to_f{kelvin_to_fahrenheit, "(x × 1.8) − 459.67"};

#define X ::tavrin::identity_rule()
#define S(c) ::tavrin::scale_rule(c, #c)
#define W(c) ::tavrin::widened_scale_rule(std::int16_t{c}, #c)
#define F(f) ::tavrin::formula_rule(f)

// clang-format off

inline constexpr Category length = category("Length",
  {"Millimetres", "Centimetres", "Metres", "Kilometres", "Inches", "Feet", "Yards", "Miles"},
  {{
    /* Millimetres */ {X,            S(0.1),       S(0.001),     S(0.000001),  S(0.03937),   S(0.003281),  S(0.001094),  F(mm_to_mi)},
    /* Centimetres */ {S(10),        X,            S(0.01),      S(0.00001),   S(0.393701),  S(0.032808),  S(0.010936),  S(0.000006)},
    /* Metres      */ {S(1000),      S(100),       X,            S(0.001),     S(39.37008),  S(3.28084),   S(1.093613),  S(0.000621)},
    /* Kilometres  */ {S(1000000),   S(100000),    S(1000),      X,            S(39370.08),  S(3280.84),   S(1093.613),  S(0.621371)},
    /* Inches      */ {S(25.4),      S(2.54),      S(0.0254),    S(0.000025),  X,            S(0.083333),  S(0.027778),  S(0.000016)},
    /* Feet        */ {S(304.8),     S(30.48),     S(0.3048),    S(0.000305),  S(12),        X,            S(0.333333),  S(0.000189)},
    /* Yards       */ {S(914.4),     S(91.44),     S(0.9144),    S(0.000914),  S(36),        S(3),         X,            S(0.000568)},
    /* Miles       */ {S(1609344),   S(160934.4),  S(1609.344),  S(1.609344),  S(63360),     S(5280),      S(1760),      X},
  }});

inline constexpr Category area = category("Area",
  {"mm Square", "cm Square", "m Square", "In Square", "Ft Square", "Yd Square"},
  {{
    /* mm Square */ {X,            S(0.01),      S(0.000001),  S(0.00155),   S(0.000011),  S(0.000001)},
    /* cm Square */ {S(100),       X,            S(0.0001),    S(0.155),     S(0.001076),  S(0.00012)},
    /* m Square  */ {S(1000000),   S(10000),     X,            S(1550.003),  S(10.76391),  S(1.19599)},
    /* In Square */ {S(645.16),    S(6.4516),    S(0.000645),  X,            S(0.006944),  S(0.000772)},
    /* Ft Square */ {S(92903),     S(929.0304),  S(0.092903),  S(144),       X,            S(0.111111)},
    /* Yd Square */ {S(836127),    S(8361.274),  S(0.836127),  S(1296),      S(9),         X},
  }});

// In the row from "ImpGallon", 4545 and 277 are 16-bit integer constants
// widened to double; the product is the plain double product and, like every
// other rule, faults on overflow.
inline constexpr Category volume = category("Volume",
  {"cmCube", "mCube", "Litre", "inCube", "ftCube", "USGallon", "ImpGallon", "US barrel"},
  {{
    /* cmCube    */ {X,           S(0.000001),  S(0.001),     S(0.061024),  S(0.000035),  S(0.000264),  S(0.00022),   S(0.000006)},
    /* mCube     */ {S(1000000),  X,            S(1000),      S(61024),     S(35),        S(264),       S(220),       S(6.29)},
    /* Litre     */ {S(1000),     S(0.001),     X,            S(61),        S(0.035),     S(0.264201),  S(0.22),      S(0.00629)},
    /* inCube    */ {S(16.4),     S(0.000016),  S(0.016387),  X,            S(0.000579),  S(0.004329),  S(0.003605),  S(0.000103)},
    /* ftCube    */ {S(28317),    S(0.028317),  S(28.31685),  S(1728),      X,            S(7.481333),  S(6.229712),  S(0.178127)},
    /* USGallon  */ {S(3785),     S(0.003785),  S(3.79),      S(231),       S(0.13),      X,            S(0.832701),  S(0.02381)},
    /* ImpGallon */ {W(4545),     S(0.004545),  S(4.55),      W(277),       S(0.16),      S(1.2),       X,            S(0.028593)},
    /* US barrel */ {S(158970),   S(0.15897),   S(159),       S(9701),      S(6),         S(42),        S(35),        X},
  }});

inline constexpr Category mass = category("Mass",
  {"Grams", "Kilograms", "Metric Tonnes", "Short ton", "Long ton", "Pounds", "Ounces"},
  {{
    /* Grams         */ {X,            S(0.001),     S(0.000001),  S(0.000001),  F(g_to_lton), S(0.002205),  S(0.035273)},
    /* Kilograms     */ {S(1000),      X,            S(0.001),     S(0.001102),  S(0.000984),  S(2.204586),  S(35.27337)},
    /* Metric Tonnes */ {S(1000000),   S(1000),      X,            S(1.102293),  S(0.984252),  S(2204.586),  S(35273.37)},
    /* Short ton     */ {S(907200),    S(907.2),     S(0.9072),    X,            S(0.892913),  S(2000),      S(32000)},
    /* Long ton      */ {S(1016000),   S(1016),      S(1.016),     S(1.119929),  X,            S(2239.859),  S(35837.74)},
    /* Pounds        */ {S(453.6),     S(0.4536),    S(0.000454),  S(0.0005),    S(0.000446),  X,            S(16)},
    /* Ounces        */ {S(28),        S(0.02835),   S(0.000028),  S(0.000031),  S(0.000028),  S(0.0625),    X},
  }});

inline constexpr Category density = category("Density",
  {"Gram / ml", "Kilogram / mCube", "Pound / ftCube", "Pound / inCube"},
  {{
    /* Gram / ml        */ {X,           S(1000),      S(62.42197),  S(0.036127)},
    /* Kilogram / mCube */ {S(0.001),    X,            S(0.062422),  S(0.000036)},
    /* Pound / ftCube   */ {S(0.01602),  S(16.02),     X,            S(0.000579)},
    /* Pound / inCube   */ {S(27.68),    S(27680),     S(1727.84),   X},
  }});

inline constexpr Category speed = category("Speed",
  {"m / sec", "m / min", "km / h", "Ft / sec", "Ft / min", "Miles / h"},
  {{
    /* m / sec   */ {X,            S(59.988),    S(3.599712),  S(3.28084),   S(196.8504),  S(2.237136)},
    /* m / min   */ {S(0.01667),   X,            S(0.060007),  S(0.054692),  S(3.281496),  S(0.037293)},
    /* km / h    */ {S(0.2778),    S(16.66467),  X,            S(0.911417),  S(54.68504),  S(0.621477)},
    /* Ft / sec  */ {S(0.3048),    S(18.28434),  S(1.097192),  X,            S(60),        S(0.681879)},
    /* Ft / min  */ {S(0.00508),   S(0.304739),  S(0.018287),  S(0.016667),  X,            S(0.011365)},
    /* Miles / h */ {S(0.447),     S(26.81464),  S(1.609071),  S(1.466535),  S(87.99213),  X},
  }});

// The source list says "Inch Pound", the target list "Inch pound": rules
// from that unit are keyed by the one, rules to it by the other.
inline constexpr Category torque = category("Torque",
  {"Newton metre", "Kilogram force metre", "Foot Pound", "Inch Pound"},
  {"Newton metre", "Kilogram force metre", "Foot Pound", "Inch pound"},
  {{
    /* Newton metre         */ {X,            S(0.101972),  S(0.737561),  S(8.850732)},
    /* Kilogram force metre */ {S(9.80665),   X,            S(7.233003),  S(86.79603)},
    /* Foot Pound           */ {S(1.35582),   S(0.138255),  X,            S(12)},
    /* Inch Pound           */ {S(0.112985),  S(0.011521),  S(0.083333),  X},
  }});

inline constexpr Category temperature = category("Temperature",
  {"Degrees Celcius", "Degrees Fahrenheit", "Kelvin"},
  {{
    /* Degrees Celcius    */ {X,          F(c_to_f),  F(c_to_k)},
    /* Degrees Fahrenheit */ {F(f_to_c),  X,          F(f_to_k)},
    /* Kelvin             */ {F(k_to_c),  F(k_to_f),  X},
  }});

inline constexpr Category dynamic_viscosity = category("Dynamic Viscosity",
  {"Centipoise", "Poise", "Pound / ft.sec"},
  {{
    /* Centipoise     */ {X,           S(0.01),     S(0.000672)},
    /* Poise          */ {S(100),      X,           S(0.067197)},
    /* Pound / ft.sec */ {S(1488.16),  S(14.8816),  X},
  }});

inline constexpr Category kinematic_viscosity = category("Kinematic Viscosity",
  {"Centistoke", "Stoke", "ftSquare / sec", "mSquare / sec"},
  {{
    /* Centistoke     */ {X,           S(0.01),      S(0.000011),  S(0.000001)},
    /* Stoke          */ {S(100),      X,            S(0.001076),  S(0.0001)},
    /* ftSquare / sec */ {S(92903),    S(929.03),    X,            S(0.092903)},
    /* mSquare / sec  */ {S(1000000),  S(10000),     S(10.76392),  X},
  }});

inline constexpr Category volumetric_liquid_flow = category("Volumetric Liquid Flow",
  {"Litre / sec", "Litre / min", "Metre Cube/hr", "Ft Cube/min", "Ft Cube/hr", "US gallons/min", "US barrels/day"},
  {{
    /* Litre / sec    */ {X,            S(60),        S(3.6),       S(2.119093),  S(127.1197),  S(15.85037),  S(543.4783)},
    /* Litre / min    */ {S(0.016666),  X,            S(0.06),      S(0.035317),  S(2.118577),  S(0.264162),  S(9.057609)},
    /* Metre Cube/hr  */ {S(0.277778),  S(16.6667),   X,            S(0.588637),  S(35.31102),  S(4.40288),   S(150.9661)},
    /* Ft Cube/min    */ {S(0.4719),    S(28.31513),  S(1.69884),   X,            S(60),        S(7.479791),  S(256.4674)},
    /* Ft Cube/hr     */ {S(0.007867),  S(0.472015),  S(0.02832),   S(0.01667),   X,            S(0.124689),  S(4.275326)},
    /* US gallons/min */ {S(0.06309),   S(3.785551),  S(0.227124),  S(0.133694),  S(8.019983),  X,            S(34.28804)},
    /* US barrels/day */ {S(0.00184),   S(0.110404),  S(0.006624),  S(0.003899),  S(0.2339),    S(0.029165),  X},
  }});

inline constexpr Category volumetric_gas_flow = category("Volumetric Gas Flow",
  {"Normal metre cube/h", "Standard cubic ft/h", "Standard cubic ft/min"},
  {{
    /* Normal metre cube/h   */ {X,           S(35.31073),  S(0.588582)},
    /* Standard cubic ft/h   */ {S(0.02832),  X,            S(0.016669)},
    /* Standard cubic ft/min */ {S(1.699),    S(59.99294),  X},
  }});

inline constexpr Category mass_flow = category("Mass Flow",
  {"Kilogram / hr", "Pound / hr", "Kilogram / s", "Ton / hr"},
  {{
    /* Kilogram / hr */ {X,          S(2.204586),  S(0.000278),  S(0.001)},
    /* Pound / hr    */ {S(0.4536),  X,            S(0.000126),  S(0.000454)},
    /* Kilogram / s  */ {S(3600),    S(7936.508),  X,            S(3.6)},
    /* Ton / hr      */ {S(1000),    S(2204.586),  S(0.277778),  X},
  }});

// The row from "mm of mercury" faults on overflow like every other rule.
inline constexpr Category high_pressure = category("High Pressure",
  {"Bar", "Pound/Square Inch", "Kilopascal", "Megapascal", "Kg Force/ cm Square", "mm of mercury", "Atmospheres"},
  {{
    /* Bar                 */ {X,            S(14.50326),  S(100),       S(0.1),       S(1.01968),   S(750.0188),  S(0.987167)},
    /* Pound/Square Inch   */ {S(0.06895),   X,            S(6.895),     S(0.006895),  S(0.070307),  S(51.71379),  S(0.068065)},
    /* Kilopascal          */ {S(0.01),      S(0.145),     X,            S(0.001),     S(0.0102),    S(7.5002),    S(0.00987)},
    /* Megapascal          */ {S(10),        S(145.03),    S(1000),      X,            S(10.197),    S(7500.2),    S(9.8717)},
    /* Kg Force/ cm Square */ {S(0.9807),    S(14.22335),  S(98.07),     S(0.09807),   X,            S(735.5434),  S(0.968115)},
    /* mm of mercury       */ {S(0.001333),  S(0.019337),  S(0.13333),   S(0.000133),  S(0.00136),   X,            S(0.001316)},
    /* Atmospheres         */ {S(1.013),     S(14.69181),  S(101.3),     S(0.1013),    S(1.032936),  S(759.769),   X},
  }});

inline constexpr Category low_pressure = category("Low Pressure",
  {"Metre of Water", "Ft of Water", "Cm of Mercury", "Inches of Mercury", "Inches of Water", "Pascal"},
  {{
    /* Metre of Water    */ {X,            S(3.280696),  S(7.356339),  S(2.896043),  S(39.36572),  S(9806)},
    /* Ft of Water       */ {S(0.304813),  X,            S(2.242311),  S(0.882753),  S(11.9992),   S(2989)},
    /* Cm of Mercury     */ {S(0.135937),  S(0.445969),  X,            S(0.39368),   S(5.351265),  S(1333)},
    /* Inches of Mercury */ {S(0.345299),  S(1.13282),   S(2.540135),  X,            S(13.59293),  S(3386)},
    /* Inches of Water   */ {S(0.025403),  S(0.083339),  S(0.186872),  S(0.073568),  X,            S(249.1)},
    /* Pascal            */ {S(0.000102),  S(0.000335),  S(0.00075),   S(0.000295),  S(0.004014),  X},
  }});

// clang-format on

#undef X
#undef S
#undef W
#undef F

/// The catalogue, in the order the category list shows it.
inline constexpr std::array<Category, category_count> catalogue{
    length, area, volume, mass, density, speed, torque, temperature,
    dynamic_viscosity, kinematic_viscosity, volumetric_liquid_flow,
    volumetric_gas_flow, mass_flow, high_pressure, low_pressure};

// ---------------------------------------------------------------------------
// Compile-time checks of the data's shape.

/// True when a category's lists and matrix have the same n, with an identity
/// diagonal, a rule in every in-category cell and nothing outside.
constexpr bool well_formed(const Category& c) {
  if (c.size == 0 || count_names(c.targets) != c.size) return false;
  for (std::size_t i = c.size; i < max_units; ++i)
    if (!c.sources[i].empty() || !c.targets[i].empty()) return false;
  for (std::size_t r = 0; r < max_units; ++r) {
    for (std::size_t col = 0; col < max_units; ++col) {
      const Rule& rule = c.rules[r][col];
      const bool inside = r < c.size && col < c.size;
      if (inside != (rule.kind != RuleKind::none)) return false;
      if (inside && (r == col) != (rule.kind == RuleKind::identity)) return false;
      if (rule.kind == RuleKind::scale && (rule.factor == 0.0 || rule.factor_text.empty()))
        return false;
    }
  }
  return true;
}

constexpr std::size_t total_rules() {
  std::size_t n = 0;
  for (const auto& c : catalogue) n += c.size * c.size;
  return n;
}

constexpr bool all_well_formed() {
  for (const auto& c : catalogue)
    if (!well_formed(c)) return false;
  return true;
}

static_assert(all_well_formed(), "a rule table does not match its unit lists");
static_assert(total_rules() == 474, "the tables hold 474 rules");
static_assert(catalogue.front().name == "Length" && catalogue.back().name == "Low Pressure");

} // namespace tavrin::data
