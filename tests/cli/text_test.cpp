// The text helpers of tavrin-convert: CSV fields, spelling suggestions and
// the strict number check.
#include "tavrin/cli/text.hpp"
#include "tavrin/number_text.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace tavrin::cli;

TEST(CsvField, QuotesOnlyFieldsThatNeedItAndDoublesInnerQuotes) {
  EXPECT_EQ(csv_field("Kg Force/ cm Square"), "Kg Force/ cm Square");
  EXPECT_EQ(csv_field("6.21E-07"), "6.21E-07");
  EXPECT_EQ(csv_field("a,b"), "\"a,b\"");
  EXPECT_EQ(csv_field("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(csv_field("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(csv_field("cr\r"), "\"cr\r\"");
  EXPECT_EQ(csv_field(" padded "), "\" padded \"");
  EXPECT_EQ(csv_field(""), "");
}

TEST(NearestName, PrefersACaseOnlyDifferenceThenTheFewestEdits) {
  const std::vector<std::string_view> names{"Inches", "Inch pound", "Inch Pound", "Metres"};
  EXPECT_EQ(nearest_name("INCH POUND", names), "Inch pound");  // first equal ignoring case
  EXPECT_EQ(nearest_name("Inchs", names), "Inches");
  EXPECT_EQ(nearest_name("Mteres", names), "Metres");  // a swap is one edit
  EXPECT_EQ(nearest_name("Volume", names), std::nullopt);
  EXPECT_EQ(nearest_name("", names), std::nullopt);
}

// The search gives up on a name once it cannot beat the best so far or the
// limit; these sit on those edges.
TEST(NearestName, KeepsTheFirstOfEqualNamesAndTheLimitsExactlyWhenCuttingTheSearchShort) {
  const std::vector<std::string_view> metres_first{"Metres", "Meters"};
  const std::vector<std::string_view> meters_first{"Meters", "Metres"};
  EXPECT_EQ(nearest_name("Metrs", metres_first), "Metres");  // one edit from both
  EXPECT_EQ(nearest_name("Metrs", meters_first), "Meters");
  EXPECT_EQ(nearest_name("Meterz", metres_first), "Meters");  // a later, nearer name wins

  // Short names (no part search) allow two edits: by length, by letters, by a swap.
  const std::vector<std::string_view> feet{"Feet"};
  EXPECT_EQ(nearest_name("Fe", feet), "Feet");
  EXPECT_EQ(nearest_name("F", feet), std::nullopt);
  EXPECT_EQ(nearest_name("Fxt", feet), "Feet");
  EXPECT_EQ(nearest_name("Fxx", feet), std::nullopt);
  EXPECT_EQ(nearest_name("eFt", feet), "Feet");
  // A long name: a third of its letters, here three of nine, and no more.
  const std::vector<std::string_view> long_names{"Feet", "Kilograms", "Kilograms per Cubic Metre"};
  EXPECT_EQ(nearest_name("Kilgorams", long_names), "Kilograms");
  EXPECT_EQ(nearest_name("Kxxxgrams", long_names), "Kilograms");
  EXPECT_EQ(nearest_name("Kxxxgxams", long_names), std::nullopt);
  // Then a near copy inside a name: at most two edits off for eight letters or more.
  EXPECT_EQ(nearest_name("gramz pxr cubic", long_names), "Kilograms per Cubic Metre");
  EXPECT_EQ(nearest_name("gramz pxr cubxc", long_names), std::nullopt);
}

TEST(NearestName, StaysFastAndSilentForAMegabyteName) {
  const std::vector<std::string_view> names{"Inches", "Metres"};
  const std::string huge(1 << 20, 'I');
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(nearest_name(huge, names), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

TEST(InQuotes, EscapesControlsAndBytesThatAreNoUtf8AndCutsLongTextAtACharacterBoundary) {
  EXPECT_EQ(in_quotes("a\tb\x7f"), "'a\\x09b\\x7F'");
  // C1 controls (U+009B is a terminal's CSI), a stray byte, a cut sequence, an
  // encoded surrogate and an overlong form, byte by byte; characters as they are.
  EXPECT_EQ(in_quotes("\xC2\x9B" "2J\xC2\x9F\xC2\xA0 \xFF\xC3 \xED\xA0\x80\xC0\xAF \xC3\xA9\xE2\x84\x83\xF0\x9F\x98\x80"),
            "'\\xC2\\x9B2J\\xC2\\x9F\xC2\xA0 \\xFF\\xC3 \\xED\\xA0\\x80\\xC0\\xAF \xC3\xA9\xE2\x84\x83\xF0\x9F\x98\x80'");
  std::string text(79, 'a');
  text += "\xc3\xa9" + std::string(100, 'b');  // an é across the cut at 80 bytes
  EXPECT_EQ(in_quotes(text), "'" + std::string(79, 'a') + "'... (181 bytes)");
}

TEST(IsNumberText, AgreesWithTheNumberReaderOnWhatIsAWholeNumber) {
  for (std::string_view t : {"12", " 12 ", "\t-40\t", "-.5", "5.", "+1e5", "1E-07", "0", "-0",
                             "1e", "1e+", ".", "-", "", "12cm", "1,5", "e5", "1..2", "1e5.5",
                             "--1", "1 2", "0x10", "inf", "nan"}) {
    EXPECT_EQ(is_number_text(t), tavrin::parse_number(t).whole) << "'" << t << "'";
  }
  // Out of range still has the shape of a number; the reader faults on it instead.
  EXPECT_TRUE(is_number_text("1e400"));
  EXPECT_TRUE(is_number_text("-1e400 "));
  EXPECT_FALSE(is_number_text("1e400x"));
}
