// Huge and hostile texts through the core: a 10 MB input, megabyte unit
// names, texts of only signs and dots, a million-digit exponent. Each gets its
// answer or the fault at once, and the core takes no memory in proportion to
// the text (the caller already holds it).
#include "allocation_meter.hpp"

#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/convert.hpp"
#include "tavrin/number_text.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

using tavrin::ArithmeticFault;
using tavrin::convert;
using tavrin::display_form;
using tavrin::parse_number;

namespace {

constexpr std::size_t megabyte = std::size_t{1} << 20;

// What the core may allocate for one call whatever the text's length: the
// fault's message and the display form's few digits.
constexpr std::size_t small_allocation = 4096;


// A bound that tells linear from quadratic work, not a speed target: a
// linear pass over 10 MB takes a few milliseconds (tens when sanitized), a
// reader that went back over the text per character would need hours, and a
// loaded CI machine may take many times the usual.
constexpr auto quickly = std::chrono::seconds(10);

// The conversion's display form or the fault's name, with the time and the
// memory the call took checked.
std::string answer(const std::string& input, std::string_view from, std::string_view to) {
  const proof::AllocationMeter meter;
  const auto start = std::chrono::steady_clock::now();
  std::string out;
  try {
    const double v = convert(input, from, to);
    EXPECT_TRUE(std::isfinite(v));
    out = display_form(v);
  } catch (const ArithmeticFault& fault) {
    out = tavrin::fault_name(fault.kind());
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, quickly) << input.size() << " bytes";
  EXPECT_LT(meter.bytes(), small_allocation) << input.size() << " bytes";
  return out;
}

TEST(HugeInput, ATenMegabyteNumberIsReadWhole) {
  const std::string long_fraction = "1." + std::string(10 * megabyte, '5');
  EXPECT_EQ(answer(long_fraction, "Inches", "Centimetres"), display_form((14.0 / 9.0) * 2.54));
  EXPECT_TRUE(parse_number(long_fraction).whole);

  const std::string long_integer(10 * megabyte, '9');
  EXPECT_EQ(answer(long_integer, "Inches", "Centimetres"), "Overflow");
  EXPECT_EQ(answer(long_integer, "Metres", "Metres"), "Overflow");  // the input itself overflows

  const std::string tiny = "0." + std::string(10 * megabyte, '0') + "7";
  EXPECT_EQ(answer(tiny, "Degrees Celcius", "Kelvin"), "273.15");  // underflows to 0, no fault
}

TEST(HugeInput, ATenMegabyteTextAfterTheNumberIsIgnored) {
  std::string text = "12" + std::string(10 * megabyte, 'x');
  EXPECT_EQ(answer(text, "Inches", "Centimetres"), "30.48");
  text = "12 " + std::string(10 * megabyte, ' ');
  EXPECT_EQ(answer(text, "Inches", "Centimetres"), "30.48");
  EXPECT_TRUE(parse_number(text).whole);
  text = std::string(10 * megabyte, ' ') + "12";
  EXPECT_EQ(answer(text, "Inches", "Centimetres"), "30.48");
}

TEST(HugeInput, MegabyteUnitNamesMatchNoRule) {
  const std::string long_name(megabyte, 'M');
  EXPECT_EQ(answer("12", long_name, "Centimetres"), "0");
  EXPECT_EQ(answer("12", "Inches", long_name), "0");
  EXPECT_EQ(answer("1e308", long_name, long_name), "0");

  // A real name with a megabyte after it, and a real name repeated.
  EXPECT_EQ(answer("12", "Inches" + std::string(megabyte, ' '), "Centimetres"), "0");
  std::string repeated;
  while (repeated.size() < megabyte) repeated += "Metres";
  EXPECT_EQ(answer("12", repeated, "Metres"), "0");
  EXPECT_EQ(tavrin::find_rule(repeated, repeated), nullptr);
}

TEST(HugeInput, NamesWithNulsOrInvalidUtf8MatchNoRule) {
  using namespace std::string_literals;
  EXPECT_EQ(answer("12", "Inches\0"s, "Centimetres"), "0");
  EXPECT_EQ(answer("12", "\0Inches"s, "Centimetres"), "0");
  EXPECT_EQ(answer("12", "Inches", "Centi\xffmetres"), "0");
  EXPECT_EQ(answer("12", "\xc3\x28", "\xed\xa0\x80"), "0");  // bad sequence, encoded surrogate
  EXPECT_EQ(answer("12", "Inches", "Centimetres"), "30.48");   // and the real pair still works
}

TEST(HostileInput, TextsOfOnlySignsAndDotsAreNoNumber) {
  for (const std::string& text :
       {std::string("+"), std::string("-"), std::string("."), std::string("+."),
        std::string("-."), std::string("..."), std::string("+-1"), std::string("--5"),
        std::string(".e5"), std::string(megabyte, '-'), std::string(megabyte, '.'),
        [] {
          std::string s;
          while (s.size() < megabyte) s += "+-.";
          return s;
        }()}) {
    const auto parsed = parse_number(text);
    EXPECT_EQ(parsed.value, 0.0) << text.substr(0, 20);
    EXPECT_FALSE(parsed.whole) << text.substr(0, 20);
    EXPECT_EQ(answer(text, "Degrees Fahrenheit", "Degrees Celcius"), "-17.7777777777778")
        << text.substr(0, 20);
  }
}

TEST(HostileInput, AMillionDigitExponentGivesItsValueOrTheFault) {
  const std::string nines(1'000'000, '9');
  EXPECT_EQ(answer("1e" + nines, "Metres", "Metres"), "Overflow");
  EXPECT_EQ(answer("1e+" + nines, "Metres", "Feet"), "Overflow");
  EXPECT_EQ(answer("1e-" + nines, "Degrees Celcius", "Kelvin"), "273.15");
  EXPECT_EQ(answer("0e" + nines, "Metres", "Metres"), "0");  // zero stays zero
  EXPECT_EQ(answer("1e" + std::string(1'000'000, '0') + "2", "Metres", "Centimetres"), "10000");

  // A million leading zeros in the fraction, made good by the exponent.
  const std::string shifted = "0." + std::string(1'000'000, '0') + "25e1000003";
  EXPECT_EQ(answer(shifted, "Metres", "Metres"), "250");
  // A million-digit integer brought back into range by a negative exponent.
  const std::string scaled_down = "3" + std::string(1'000'000, '0') + "e-999999";
  EXPECT_EQ(answer(scaled_down, "Inches", "Centimetres"), "76.2");
}

} // namespace
