#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/catalogue.hpp"
#include "tavrin/convert.hpp"
#include "tavrin/number_text.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using tavrin::ArithmeticFault;
using tavrin::convert;
using tavrin::category_names;
using tavrin::display_form;

namespace {

// The result as the output box would show it.
std::string shown(std::string_view input, std::string_view from, std::string_view to) {
  return display_form(convert(input, from, to));
}

struct Cell {
  std::string category, source, target, text;
};

std::vector<Cell> printed_cells() {
  std::ifstream in(TAVRIN_TEST_DATA_DIR "/rule_cells.tsv");
  std::vector<Cell> cells;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::stringstream ss(line);
    for (std::string part; std::getline(ss, part, '\t');) f.push_back(part);
    if (f.size() == 4) cells.push_back({f[0], f[1], f[2], f[3]});
  }
  return cells;
}

// A second, independent copy of the formulas, in the order the tables write them.
const std::map<std::string, std::function<double(double)>>& formulas() {
  static const std::map<std::string, std::function<double(double)>> table{
      {"(10^−7 × 6.21) × x", [](double x) { return (std::pow(10.0, -7.0) * 6.21) * x; }},
      {"10^−7 × (x × 9.8)", [](double x) { return std::pow(10.0, -7.0) * (x * 9.8); }},
      {"((x × 9) / 5) + 32", [](double x) { return ((x * 9) / 5) + 32; }},
      {"x + 273.15", [](double x) { return x + 273.15; }},
      {"((x − 32) × 5) / 9", [](double x) { return ((x - 32) * 5) / 9; }},
      {"(x + 459.67) / 1.8", [](double x) { return (x + 459.67) / 1.8; }},
      {"x − 273.15", [](double x) { return x - 273.15; }},
      {"(x × 1.8) − 459.67", [](double x) { return (x * 1.8) - 459.67; }},
  };
  return table;
}

const char* const sample_inputs[] = {"1", "3", "12", "-7.25", "0.001", "123456.789", "1e-300"};

} // namespace

// ---------------------------------------------------------------------------
// The whole table against the printed cells.

TEST(RuleTable, ReproducesEveryPrintedCellBitForBit) {
  const auto cells = printed_cells();
  ASSERT_EQ(cells.size(), tavrin::rule_count);
  std::set<std::pair<std::string, std::string>> pairs;
  for (const auto& cell : cells) {
    SCOPED_TRACE(cell.source + " -> " + cell.target + ": " + cell.text);
    EXPECT_TRUE(pairs.insert({cell.source, cell.target}).second) << "pair twice";
    const tavrin::Rule* rule = tavrin::find_rule(cell.source, cell.target);
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(category_names()[tavrin::find_source(cell.source)->category], cell.category);
    EXPECT_EQ(rule->text(), cell.text.rfind("× ", 0) == 0 ? "x " + cell.text : cell.text);
    for (const char* input : sample_inputs) {
      const double x = tavrin::parse_number(input).value;
      double expected = 0;
      if (cell.text == "x") {
        expected = x;
      } else if (cell.text.rfind("× ", 0) == 0) {
        const std::string c = cell.text.substr(std::string("× ").size());
        double factor = 0;
#ifdef __cpp_lib_to_chars
        std::from_chars(c.data(), c.data() + c.size(), factor);
#else  // a C++ library without a double reader (the web's): the program's own
        factor = tavrin::parse_number(c).value;
#endif
        expected = x * factor;
      } else {
        ASSERT_TRUE(formulas().count(cell.text)) << "unknown formula";
        expected = formulas().at(cell.text)(x);
      }
      EXPECT_EQ(convert(input, cell.source, cell.target), expected) << input;
    }
  }
}

TEST(RuleTable, HasNoRuleAcrossCategories) {
  std::size_t rules = 0;
  for (std::size_t a = 0; a < tavrin::category_count; ++a)
    for (auto source : tavrin::units_at(a).sources)
      for (std::size_t b = 0; b < tavrin::category_count; ++b)
        for (auto target : tavrin::units_at(b).targets) {
          const bool found = tavrin::find_rule(source, target) != nullptr;
          EXPECT_EQ(found, a == b) << source << " -> " << target;
          rules += found;
        }
  EXPECT_EQ(rules, tavrin::rule_count);
}

TEST(RuleTable, NoRuleGivesZeroForANonZeroInput) {
  for (std::size_t c = 0; c < tavrin::category_count; ++c)
    for (auto source : tavrin::units_at(c).sources)
      for (auto target : tavrin::units_at(c).targets)
        EXPECT_NE(convert("1", source, target), 0.0) << source << " -> " << target;
}

// ---------------------------------------------------------------------------
// The engine.

TEST(Engine, GivesZeroForAPairWithoutARule) {
  EXPECT_EQ(convert("5", "", ""), 0.0);
  EXPECT_EQ(convert("5", "Inches", "inches"), 0.0);
  EXPECT_EQ(convert("5", "Inches", "Kelvin"), 0.0);  // two categories
  EXPECT_EQ(convert("5", "Length", "Length"), 0.0);
  EXPECT_EQ(convert("5", "Inches ", "Inches"), 0.0);
  // The input is read before the rule is looked up, so its overflow faults even here.
  EXPECT_THROW(convert("1e400", "Inches", "Kelvin"), ArithmeticFault);
}

TEST(Engine, ReadsTheInputAsTheInputBoxDoes) {
  EXPECT_EQ(convert("12cm", "Inches", "Centimetres"), 12 * 2.54);
  EXPECT_EQ(convert("abc", "Inches", "Centimetres"), 0.0);
  EXPECT_EQ(convert("  -2", "Inches", "Centimetres"), -2 * 2.54);
}

TEST(Engine, FaultsWhenTheInputOverflows) {
  EXPECT_THROW(convert("1e400", "Inches", "Centimetres"), ArithmeticFault);
}

TEST(Engine, IdentityNeverFaultsEvenForHugeValues) {
  const double max = std::numeric_limits<double>::max();
  EXPECT_EQ(convert("1.7976931348623157e308", "Kilometres", "Kilometres"), max);
  EXPECT_EQ(convert("-1.7976931348623157e308", "Pascal", "Pascal"), -max);
  EXPECT_EQ(convert("1e308", "Degrees Celcius", "Degrees Celcius"), 1e308);
}

TEST(Engine, FaultsOnOverflowInEveryKindOfRule) {
  struct Case { const char *input, *from, *to; };
  for (auto c : {Case{"1e308", "Kilometres", "Millimetres"},
                 Case{"-1e308", "Kilometres", "Millimetres"},
                 Case{"1e308", "Degrees Celcius", "Degrees Fahrenheit"},
                 Case{"1.7e308", "Kelvin", "Degrees Fahrenheit"},
                 Case{"1e305", "ImpGallon", "cmCube"},    // a widened integer factor
                 Case{"1e308", "ImpGallon", "Litre"}}) {
    try {
      convert(c.input, c.from, c.to);
      ADD_FAILURE() << c.input << " " << c.from << " -> " << c.to << " gave no fault";
    } catch (const ArithmeticFault& f) {
      EXPECT_EQ(f.kind(), tavrin::FaultKind::overflow);
    }
  }
  // The largest finite results do not fault, and underflow is no fault.
  EXPECT_EQ(convert("1e302", "Kilometres", "Millimetres"), 1e302 * 1000000);
  EXPECT_EQ(convert("1e-320", "Millimetres", "Miles"), (std::pow(10.0, -7.0) * 6.21) * 1e-320);
}

TEST(Engine, ConvertsNegativeValuesWithoutLookingAtTheSign) {
  EXPECT_EQ(convert("-12", "Inches", "Centimetres"), -12 * 2.54);
  EXPECT_EQ(shown("-300", "Kelvin", "Degrees Celcius"), "-573.15");
}

// ---------------------------------------------------------------------------
// Length.

TEST(Length, RoundTripsAreNotExactBecauseTheFactorsAreRounded) {
  EXPECT_EQ(shown("1", "Millimetres", "Centimetres"), "0.1");
  EXPECT_EQ(shown("1", "Centimetres", "Inches"), "0.393701");
  EXPECT_EQ(shown("1", "Inches", "Centimetres"), "2.54");
  const double back = convert(tavrin::exact_form(convert("1", "Inches", "Centimetres")),
                              "Centimetres", "Inches");
  EXPECT_NE(back, 1.0);
  EXPECT_EQ(display_form(back), "1.00000054");
}

TEST(Length, ThreeFeetAreNotQuiteAYard) {
  EXPECT_EQ(shown("3", "Feet", "Yards"), "0.999999");
  EXPECT_EQ(shown("1", "Miles", "Kilometres"), "1.609344");
  EXPECT_EQ(shown("1", "Kilometres", "Miles"), "0.621371");
}

TEST(Length, SmallFactorsDoNotDifferByExactlyTen) {
  EXPECT_EQ(convert("1", "Millimetres", "Miles"), std::pow(10.0, -7.0) * 6.21);
  EXPECT_EQ(shown("1", "Millimetres", "Miles"), "6.21E-07");
  EXPECT_EQ(shown("1", "Centimetres", "Miles"), "6E-06");
  EXPECT_EQ(convert("1", "Centimetres", "Miles"), 0.000006);
}

TEST(Length, TypicalRunGivesThirtyPointFourEight) {
  EXPECT_EQ(shown("12", "Inches", "Centimetres"), "30.48");
}

// ---------------------------------------------------------------------------
// Temperature and viscosity.

TEST(Temperature, UsesTheAffineFormulasInTheirOrder) {
  EXPECT_EQ(shown("100", "Degrees Celcius", "Degrees Fahrenheit"), "212");
  EXPECT_EQ(shown("32", "Degrees Fahrenheit", "Degrees Celcius"), "0");
  EXPECT_EQ(shown("0", "Degrees Celcius", "Kelvin"), "273.15");
  EXPECT_EQ(shown("-40", "Degrees Celcius", "Degrees Fahrenheit"), "-40");
  EXPECT_EQ(convert("212", "Degrees Fahrenheit", "Kelvin"), (212 + 459.67) / 1.8);
  EXPECT_EQ(shown("212", "Degrees Fahrenheit", "Kelvin"), "373.15");
  EXPECT_NE(convert("212", "Degrees Fahrenheit", "Kelvin"), 373.15);
  EXPECT_EQ(shown("373.15", "Kelvin", "Degrees Fahrenheit"), "212");
}

TEST(Temperature, TextWithoutANumberIsZeroDegrees) {
  EXPECT_EQ(shown("abc", "Degrees Celcius", "Kelvin"), "273.15");
  EXPECT_EQ(shown("abc", "Degrees Fahrenheit", "Degrees Celcius"), "-17.7777777777778");
  EXPECT_EQ(shown("abc", "Inches", "Centimetres"), "0");
}

TEST(Temperature, ConvertsBelowAbsoluteZero) {
  EXPECT_EQ(shown("-300", "Kelvin", "Degrees Celcius"), "-573.15");
}

TEST(KinematicViscosity, ScalesBetweenStokesAndSquareMetres) {
  EXPECT_EQ(shown("1", "mSquare / sec", "Stoke"), "10000");
  EXPECT_EQ(shown("1", "Stoke", "mSquare / sec"), "0.0001");
}

// ---------------------------------------------------------------------------
// Area and volume.

TEST(Area, UsesTheRoundedFactors) {
  EXPECT_EQ(shown("1", "Ft Square", "mm Square"), "92903");
  EXPECT_EQ(shown("1", "Yd Square", "mm Square"), "836127");
}

TEST(Volume, ImperialGallonRowUsesWidenedIntegers) {
  EXPECT_EQ(shown("2", "ImpGallon", "cmCube"), "9090");
  EXPECT_EQ(convert("0.1", "ImpGallon", "inCube"), 0.1 * 277.0);
  EXPECT_EQ(shown("1", "US barrel", "USGallon"), "42");
  EXPECT_EQ(shown("1", "USGallon", "US barrel"), "0.02381");
}

// ---------------------------------------------------------------------------
// Mass, density, mass flow and torque.

TEST(Mass, UsesTheRoundedFactors) {
  EXPECT_EQ(shown("1", "Pounds", "Kilograms"), "0.4536");
  EXPECT_EQ(shown("1", "Pound / hr", "Kilogram / hr"), "0.4536");
  EXPECT_EQ(convert("1", "Grams", "Short ton"), 0.000001);
  EXPECT_EQ(convert("1", "Grams", "Metric Tonnes"), 0.000001);
  EXPECT_EQ(convert("3", "Grams", "Long ton"), std::pow(10.0, -7.0) * (3 * 9.8));
}

TEST(Torque, KeysInchPoundBySourceAndInchPoundLowerCaseByTarget) {
  EXPECT_EQ(shown("1", "Inch Pound", "Inch pound"), "1");
  EXPECT_EQ(shown("1", "Inch pound", "Inch pound"), "0");
  EXPECT_EQ(shown("1", "Inch Pound", "Inch Pound"), "0");
  EXPECT_EQ(shown("1", "Newton metre", "Inch pound"), "8.850732");
}

// ---------------------------------------------------------------------------
// Speed and flow.

TEST(Speed, UsesTheRoundedFactors) {
  EXPECT_EQ(shown("1", "Ft / sec", "Ft / min"), "60");
  EXPECT_EQ(shown("1", "Ft / sec", "m / min"), "18.28434");
  EXPECT_EQ(shown("1", "m / sec", "m / min"), "59.988");
}

TEST(VolumetricGasFlow, UsesTheRoundedFactors) {
  EXPECT_EQ(shown("1", "Normal metre cube/h", "Standard cubic ft/h"), "35.31073");
  EXPECT_EQ(shown("1", "Normal metre cube/h", "Standard cubic ft/min"), "0.588582");
}

// ---------------------------------------------------------------------------
// Pressure.

TEST(HighPressure, MillimetresOfMercuryRowIsThePlainProduct) {
  EXPECT_EQ(shown("1", "Bar", "Kilopascal"), "100");
  EXPECT_EQ(shown("1", "Atmospheres", "Kilopascal"), "101.3");
  EXPECT_EQ(shown("760", "mm of mercury", "Atmospheres"), "1.00016");
  EXPECT_EQ(convert("760", "mm of mercury", "Atmospheres"), 760 * 0.001316);
}

TEST(LowPressure, UsesTheRoundedFactors) {
  EXPECT_EQ(shown("1", "Inches of Water", "Metre of Water"), "0.025403");
  EXPECT_EQ(shown("1", "Pascal", "Inches of Water"), "0.004014");
}
