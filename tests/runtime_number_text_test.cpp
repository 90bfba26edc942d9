#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/number_text.hpp"

#include "proof/comma_locales.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using tavrin::display_form;
using tavrin::exact_form;
using tavrin::parse_number;

namespace {
double value_of(std::string_view text) { return parse_number(text).value; }
bool whole(std::string_view text) { return parse_number(text).whole; }
} // namespace

TEST(NumberReader, ReadsSignsFractionsAndExponents) {
  EXPECT_EQ(value_of("12"), 12.0);
  EXPECT_EQ(value_of("+12"), 12.0);
  EXPECT_EQ(value_of("-40"), -40.0);
  EXPECT_EQ(value_of(".5"), 0.5);
  EXPECT_EQ(value_of("5."), 5.0);
  EXPECT_EQ(value_of("-.25"), -0.25);
  EXPECT_EQ(value_of("1e3"), 1000.0);
  EXPECT_EQ(value_of("1E+3"), 1000.0);
  EXPECT_EQ(value_of("2.5e-3"), 0.0025);
  EXPECT_EQ(value_of("0.1"), 0.1);
  EXPECT_TRUE(std::signbit(value_of("-0")));
}

TEST(NumberReader, TakesTheLongestPrefixAndIgnoresTheRest) {
  EXPECT_EQ(value_of("12abc"), 12.0);
  EXPECT_EQ(value_of("1e"), 1.0);      // exponent only when a digit follows
  EXPECT_EQ(value_of("1e+"), 1.0);
  EXPECT_EQ(value_of("1e-x"), 1.0);
  EXPECT_EQ(value_of("3.5.6"), 3.5);
  EXPECT_EQ(value_of("1,5"), 1.0);     // a comma is never a decimal separator
  EXPECT_EQ(value_of("--5"), 0.0);
  EXPECT_EQ(value_of("0x10"), 0.0);    // no radix prefixes
  EXPECT_EQ(value_of("inf"), 0.0);
  EXPECT_EQ(value_of("nan"), 0.0);
  EXPECT_FALSE(whole("12abc"));
  EXPECT_FALSE(whole("1e"));
}

TEST(NumberReader, SkipsLeadingBlanksOnlySpaceAndTab) {
  EXPECT_EQ(value_of("  \t7"), 7.0);
  EXPECT_EQ(value_of("\n7"), 0.0);
  EXPECT_EQ(value_of("- 7"), 0.0);  // no blank between sign and digits
  EXPECT_TRUE(whole(" \t7 \t"));
  EXPECT_FALSE(whole("7\n"));
}

TEST(NumberReader, GivesZeroForTextWithoutANumber) {
  for (const char* text : {"", " ", "abc", ".", "+", "-", "+.", "e5", ".e5"}) {
    EXPECT_EQ(value_of(text), 0.0) << text;
    EXPECT_FALSE(whole(text)) << text;
  }
}

TEST(NumberReader, FaultsOnOverflowAndUnderflowsToZeroOrSubnormal) {
  EXPECT_THROW(parse_number("1e400"), tavrin::ArithmeticFault);
  EXPECT_THROW(parse_number("-1e400"), tavrin::ArithmeticFault);
  EXPECT_THROW(parse_number(std::string(400, '9')), tavrin::ArithmeticFault);
  EXPECT_EQ(value_of("1.7976931348623157e308"), std::numeric_limits<double>::max());
  EXPECT_EQ(value_of("1e-400"), 0.0);
  EXPECT_TRUE(std::signbit(value_of("-1e-400")));
  EXPECT_EQ(value_of("0." + std::string(400, '0') + "1"), 0.0);
  EXPECT_EQ(value_of("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(value_of("1e-310"), 1e-310);
  EXPECT_EQ(value_of("0e999999"), 0.0);  // zero with a huge exponent is still zero
}

TEST(NumberReader, ReadsHugeTextsInLinearTime) {
  const auto start = std::chrono::steady_clock::now();
  std::string digits = "1." + std::string(10'000'000, '3');
  EXPECT_NEAR(value_of(digits), 1.3333333333333333, 1e-15);
  EXPECT_TRUE(whole(digits));
  EXPECT_EQ(value_of("1e" + std::string(1'000'000, '0') + "2"), 100.0);
  EXPECT_EQ(value_of("1e-" + std::string(1'000'000, '9')), 0.0);
  EXPECT_THROW(parse_number("1e" + std::string(1'000'000, '9')), tavrin::ArithmeticFault);
  EXPECT_EQ(value_of(std::string(5'000'000, '-')), 0.0);
  EXPECT_EQ(value_of(std::string(5'000'000, '.')), 0.0);
  // Generous: a quadratic reader would take hours here, a linear one milliseconds.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(DisplayForm, WritesZeroAndIntegersPlainly) {
  EXPECT_EQ(display_form(0.0), "0");
  EXPECT_EQ(display_form(-0.0), "0");
  EXPECT_EQ(display_form(30.48), "30.48");
  EXPECT_EQ(display_form(212.0), "212");
  EXPECT_EQ(display_form(-40.0), "-40");
  EXPECT_EQ(display_form(1000000.0), "1000000");
  EXPECT_EQ(display_form(0.1), "0.1");
}

TEST(DisplayForm, RoundsToFifteenSignificantDigits) {
  EXPECT_EQ(display_form(3 * 0.333333), "0.999999");
  EXPECT_EQ(display_form((212 + 459.67) / 1.8), "373.15");
  EXPECT_EQ(display_form(0.1 + 0.2), "0.3");
  EXPECT_EQ(display_form(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(display_form(-2.0 / 3.0), "-0.666666666666667");
  EXPECT_EQ(display_form(123456789012345.6), "123456789012346");
  EXPECT_EQ(display_form(((0.0 - 32) * 5) / 9), "-17.7777777777778");
}

TEST(DisplayForm, SwitchesToExponentFormOutsideTheDecimalRange) {
  EXPECT_EQ(display_form(1e-5), "0.00001");
  EXPECT_EQ(display_form(0.0000123), "0.0000123");
  EXPECT_EQ(display_form(9.99999999999999e-6), "9.99999999999999E-06");
  EXPECT_EQ(display_form(9.999999999999999e-6), "0.00001");  // rounds up into range
  EXPECT_EQ(display_form(6.21e-7), "6.21E-07");
  EXPECT_EQ(display_form(999999999999999.0), "999999999999999");
  EXPECT_EQ(display_form(999999999999999.9), "1E+15");        // rounds up out of range
  EXPECT_EQ(display_form(1e15), "1E+15");
  EXPECT_EQ(display_form(-1.5e20), "-1.5E+20");
  EXPECT_EQ(display_form(1e308), "1E+308");
  EXPECT_EQ(display_form(std::numeric_limits<double>::max()), "1.79769313486232E+308");
  EXPECT_EQ(display_form(std::numeric_limits<double>::denorm_min()), "4.94065645841247E-324");
}

TEST(ExactForm, IsTheShortestTextThatReadsBack) {
  EXPECT_EQ(exact_form(0.1), "0.1");
  EXPECT_EQ(exact_form(3 * 0.333333), "0.999999");
  EXPECT_EQ(exact_form((212 + 459.67) / 1.8), "373.15000000000003");
  EXPECT_EQ(exact_form(1e-7 * 6.21), "6.21e-07");
  // Plain or exponent form, whichever is shorter; a whole number past 2^53
  // keeps all its digits.
  EXPECT_EQ(exact_form(1e16), "1e+16");
  EXPECT_EQ(exact_form(0x1p60), "1152921504606846976");
  EXPECT_EQ(exact_form(123456789012345680.0), "123456789012345680");
  for (double v : {1.0 / 3.0, 6.02214076e23, -2.5e-300, 4.9e-324})
    EXPECT_EQ(value_of(exact_form(v)), v);
}

TEST(NumberText, DoesNotDependOnTheProcessLocale) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  const char* comma_locale = proof::comma_locales[0];
  if (!std::setlocale(LC_ALL, comma_locale)) GTEST_SKIP() << comma_locale << " is not installed";
  const double half = value_of("1.5");
  const double comma = value_of("1,5");
  const std::string shown = display_form(1234.5);
  const std::string exact = exact_form(0.25);
  const std::string tiny = display_form(6.21e-7);
  std::setlocale(LC_ALL, before.c_str());
  EXPECT_EQ(half, 1.5);
  EXPECT_EQ(comma, 1.0);
  EXPECT_EQ(shown, "1234.5");
  EXPECT_EQ(exact, "0.25");
  EXPECT_EQ(tiny, "6.21E-07");
}
