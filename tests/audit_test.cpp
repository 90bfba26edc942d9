// The exact definitions and the accuracy audit of the rules against them.
#include "tavrin/audit.hpp"
#include "tavrin/catalogue.hpp"
#include "tavrin/exact_number.hpp"
#include "tavrin/number_text.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>

using tavrin::Rational;
using tavrin::decimal_text;

namespace {

tavrin::RuleAudit audit(std::string_view from, std::string_view to) {
  return tavrin::audit_rule(*tavrin::find_source(from), *tavrin::find_target(to));
}

// The exact factor of a pair to `digits` significant digits.
std::string exact_factor(std::string_view from, std::string_view to, int digits = 7) {
  return decimal_text(audit(from, to).deviation.exact.slope, digits);
}

std::string percent(const Rational& relative) { return decimal_text(relative * 100, 6, true); }

} // namespace

TEST(ExactUnits, AgreeWithFiguresFromIndependentReferences) {
  EXPECT_EQ(exact_factor("US barrel", "ftCube"), "5.614583");
  EXPECT_EQ(exact_factor("Pound/Square Inch", "Kilopascal"), "6.894757");
  EXPECT_EQ(exact_factor("Foot Pound", "Newton metre"), "1.355818");
  EXPECT_EQ(exact_factor("Miles", "Kilometres"), "1.609344");
  EXPECT_EQ(exact_factor("Pound / ftCube", "Kilogram / mCube"), "16.01846");
  // Conventional columns: 1 atm is 760 mmHg of mercury at 0 °C and 406.8 inH2O.
  EXPECT_EQ(exact_factor("Atmospheres", "mm of mercury", 6), "760");
  EXPECT_EQ(exact_factor("Inches of Mercury", "Pascal"), "3386.389");
  EXPECT_EQ(exact_factor("Inches of Water", "Pascal"), "249.0889");
  // A normal cubic metre is 37.33 standard cubic feet when each is at its own conditions.
  EXPECT_EQ(decimal_text(audit("Normal metre cube/h", "Standard cubic ft/h").customary->exact.slope, 4),
            "37.33");
}

TEST(Audit, GivesExactlyZeroForRulesThatAreTheDefinition) {
  for (auto [from, to] : {std::pair{"Inches", "Centimetres"}, {"Miles", "Feet"},
                          {"Kilogram force metre", "Newton metre"}, {"Pounds", "Ounces"}}) {
    const auto a = audit(from, to);
    EXPECT_TRUE(a.deviation.is_exact) << from;
    EXPECT_TRUE(a.deviation.relative.is_zero()) << from;
  }
  // The six temperature formulas are the exact affine relations, offsets included.
  const auto units = tavrin::units_of("Temperature").sources;
  for (auto from : units)
    for (auto to : units) EXPECT_TRUE(audit(from, to).deviation.is_exact) << from << " " << to;
  EXPECT_EQ(decimal_text(audit("Degrees Fahrenheit", "Kelvin").deviation.exact.offset, 10),
            "255.3722222");
}

TEST(Audit, MeasuresTheWrittenConstantsIncludingTheScaledPowersOfTen) {
  EXPECT_EQ(percent(audit("US barrel", "ftCube").deviation.relative), "6.86456");
  EXPECT_EQ(percent(audit("Ounces", "Grams").deviation.relative), "-1.23291");
  EXPECT_EQ(percent(audit("Millimetres", "Miles").deviation.relative), "-0.0597376");  // 6.21e-7
  EXPECT_EQ(percent(audit("Grams", "Long ton").deviation.relative), "-0.427403");     // 9.8e-7
  // A deviation far below a double's noise keeps its digits: 39.37008 against 39.370078740...
  EXPECT_EQ(percent(audit("Metres", "Inches").deviation.relative), "0.00000320000");
  // The round trip is the product of the two constants, exactly.
  EXPECT_EQ(decimal_text(audit("Inches", "Centimetres").round_trip.slope, 17), "1.00000054");
  EXPECT_EQ(audit("Degrees Celcius", "Degrees Fahrenheit").round_trip, tavrin::Affine{});
}

TEST(Audit, ListsEveryRuleButTheIdentitiesOnceWorstFirst) {
  const auto all = tavrin::audit_rules();
  ASSERT_EQ(all.size(), 474u - 80u);
  std::set<std::tuple<std::size_t, std::size_t, std::size_t>> seen;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const auto& a = all[i];
    EXPECT_NE(a.from.index, a.to.index);
    EXPECT_TRUE(seen.insert({a.from.category, a.from.index, a.to.index}).second);
    if (i == 0) continue;
    const Rational before = abs(all[i - 1].deviation.relative);
    const Rational here = abs(a.deviation.relative);
    ASSERT_GE(before, here) << i;
    if (before == here) {  // ties keep catalogue order
      const auto& p = all[i - 1];
      EXPECT_LT(std::tuple(p.from.category, p.from.index, p.to.index),
                std::tuple(a.from.category, a.from.index, a.to.index)) << i;
    }
  }
  EXPECT_EQ(tavrin::units_at(all[0].from.category).sources[all[0].from.index], "mm Square");
  EXPECT_EQ(percent(all[0].deviation.relative), "-16.3873");  // × 0.000001 for 1.19599e-6
  EXPECT_EQ(tavrin::audit_rules(7).size(), 6u);                // Temperature alone
}

TEST(Audit, SaysTheGasFlowTableTakesOneReferenceCondition) {
  const auto check = tavrin::check_conditions(11);
  ASSERT_TRUE(check);
  EXPECT_LT(check->worst_common, tavrin::exact_decimal("0.0002"));
  EXPECT_GT(check->worst_customary, tavrin::exact_decimal("0.05"));
  EXPECT_FALSE(tavrin::check_conditions(0));
}

TEST(ExactNumber, ReadsExpressionsAndRoundsOnceHalfAwayFromZero) {
  EXPECT_EQ(decimal_text(tavrin::parse_exact("42 × 231 × 0.0254^3").offset, 18), "0.158987294928");
  EXPECT_EQ(decimal_text(tavrin::parse_exact("10^−7 × 6.21").offset, 5), "0.000000621");
  EXPECT_EQ(tavrin::parse_exact("((x − 32) × 5) / 9").slope, Rational(5) / 9);
  EXPECT_EQ(decimal_text(tavrin::exact_decimal("2.45"), 2), "2.5");
  EXPECT_EQ(decimal_text(-tavrin::exact_decimal("9.96"), 2, true), "-10");
  EXPECT_EQ(decimal_text(Rational(2) / 3, 4, true), "0.6667");
  EXPECT_EQ(decimal_text(tavrin::exact_decimal("1.5"), 4, true), "1.500");
  for (const char* bad : {"x × x", "1 / (x − x)", "2 / 0", "1..2", "3 +", "(1", "x^2", "1e5"})
    EXPECT_THROW(tavrin::parse_exact(bad), std::exception) << bad;
}

TEST(ExactNumber, RoundsToTheNearestDoubleOnceTiesToEvenFromHugeToSubnormal) {
  // Against from_chars, which rounds decimal text correctly: the edges of the
  // subnormal range, just above half the smallest subnormal (just below it
  // is 0, further down), the largest double, and a tie at 2^53 + 1.
  for (const char* text : {"0.1", "1", "9007199254740993", "2.2250738585072011e-308",
                           "2.2250738585072014e-308", "4.9406564584124654e-324",
                           "2.4703282292062328e-324",
                           "1.7976931348623157e308", "1.7976931348623158e308"}) {
    const std::string_view t = text;
    const auto e = t.find('e');
    const std::string exact = std::string(t.substr(0, e)) +
        (e == t.npos ? "" : " × 10^" + std::string(t.substr(e + 1)));
    double want = -1;
#ifdef __cpp_lib_to_chars
    std::from_chars(t.data(), t.data() + t.size(), want);
#else  // a C++ library without a double reader (the web's): the program's own
    want = tavrin::parse_number(t).value;
#endif
    EXPECT_EQ(tavrin::nearest_double(tavrin::parse_exact(exact).offset), want) << text;
    EXPECT_EQ(tavrin::nearest_double(-tavrin::parse_exact(exact).offset), -want) << text;
  }
  // Rounding to 53 bits first and then to the subnormal's fewer bits would
  // take (3.5 − 2^−60) × 2^−1074 up to 4 × 2^−1074, not down to 3 × 2^−1074.
  const auto two_to = [](int e) {
    const boost::multiprecision::cpp_int p = pow(boost::multiprecision::cpp_int(2), std::abs(e));
    return e < 0 ? Rational(1, p) : Rational(p);
  };
  EXPECT_EQ(tavrin::nearest_double((Rational(7, 2) - two_to(-60)) * two_to(-1074)),
            std::ldexp(3.0, -1074));
  // Half an ulp above the largest double is the first value that rounds to infinity.
  const Rational largest = two_to(1024) - two_to(971);
  EXPECT_EQ(tavrin::nearest_double(largest + two_to(969)), std::numeric_limits<double>::max());
  EXPECT_EQ(tavrin::nearest_double(largest + two_to(970)), std::numeric_limits<double>::infinity());
  EXPECT_EQ(tavrin::nearest_double(tavrin::parse_exact("2.4703282292062327 × 10^-324").offset), 0.0);
  EXPECT_EQ(tavrin::nearest_double(two_to(-1075)), 0.0);  // the tie goes to the even 0
  EXPECT_EQ(tavrin::nearest_double(Rational(0)), 0.0);
}
