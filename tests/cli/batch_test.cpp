// tavrin-convert --batch, run as a program, and the stream reader behind it.
#include "run_convert.hpp"

#include "tavrin/catalogue.hpp"
#include "tavrin/cli/batch.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using tavrin::test::run_convert;

TEST(Batch, KeepsOneOutputLineForEachInputLineWithGoodAndBadLinesInOrder) {
  const std::string input =
      "12\tInches\tCentimetres\n"
      "abc\tInches\tCentimetres\n"
      "\n"
      "1\tInches\n"
      "-40\tDegrees Celcius\tDegrees Fahrenheit\n"
      "1E+308\tKilometres\tMillimetres\n"
      "1\tInches\tKelvin\n"
      "1\tinches\tFeet\n"
      "1\tA\tB\tC\n"
      "-.5\tMetres\tCentimetres\n";
  auto r = run_convert({"--batch"}, input);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "30.48\n"
            "error: not a number: 'abc'\n"
            "error: expected VALUE<TAB>FROM<TAB>TO, found an empty line\n"
            "error: expected VALUE<TAB>FROM<TAB>TO, found 2 fields\n"
            "-40\n"
            "error: arithmetic fault: Overflow (beyond the range of a double)\n"
            "error: 'Inches' is a unit of 'Length' and 'Kelvin' a unit of 'Temperature'; "
            "only units of one category convert\n"
            "error: unknown unit 'inches'; did you mean 'Inches'?\n"
            "error: expected VALUE<TAB>FROM<TAB>TO, found 4 fields\n"
            "-50\n");
  EXPECT_EQ(r.err, "tavrin-convert: 7 of 10 lines failed\n");
}

TEST(Batch, ExitsZeroWhenEveryLineConvertsAndPrintsNothingForEmptyInput) {
  auto r = run_convert({"--batch"}, "1\tFeet\tInches\n2\tBar\tKilopascal\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "12\n200\n");
  EXPECT_EQ(r.err, "");
  r = run_convert({"--batch"}, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
}

TEST(Batch, AcceptsCrlfLineEndsAndAFinalLineWithoutNewline) {
  auto r = run_convert({"--batch"}, "12\tInches\tCentimetres\r\n3\tFeet\tMetres\r\n1\tMiles\tKilometres");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "30.48\n0.9144\n1.609344\n");
  r = run_convert({"--batch", "--exact"}, "3\tFeet\tMetres\r\n");
  EXPECT_EQ(r.out, "0.9144000000000001\n");
}

namespace {

// `text` as UTF-16 LE or BE after its byte-order mark, unit by unit (a lone
// surrogate too).
std::string utf16(std::u16string_view text, bool little) {
  std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
  for (const char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    out += little ? low : high;
    out += little ? high : low;
  }
  return out;
}

} // namespace

TEST(Batch, ReadsUtf8AfterAByteOrderMarkAndUtf16LeOrBeAfterTheirs) {
  const std::u16string lines = u"12\tInches\tFeet\r\n3\tFeet\tInches\r\n1\tGr\u00F6\U0001F600\tFeet\n";
  const std::string expected =
      "0.999996\n36\nerror: unknown unit 'Gr\xC3\xB6\xF0\x9F\x98\x80' (tavrin-convert --list shows the units)\n";
  for (const std::string& input : {std::string("\xEF\xBB\xBF" "12\tInches\tFeet\r\n3\tFeet\tInches\r\n1\tGr\xC3\xB6\xF0\x9F\x98\x80\tFeet\n"),
                                   utf16(lines, true), utf16(lines, false)}) {
    const auto r = run_convert({"--batch"}, input);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "tavrin-convert: 1 of 3 lines failed\n");
  }
  // Only what cannot be decoded names the encoding: a lone surrogate, an odd
  // byte at the end. The lines around it convert.
  const auto r = run_convert({"--batch"}, utf16(u"1\tFeet\tInches\n\xD800\n2\tFeet\tInches\n", false) + "3");
  EXPECT_EQ(r.out,
            "12\n"
            "error: cannot read the line as UTF-16 BE: a surrogate without its other half\n"
            "24\n"
            "error: cannot read the line as UTF-16 BE: the input ends inside a character (an odd number of bytes)\n");
  // Bytes that are no UTF-8 and C1 controls are echoed escaped.
  EXPECT_EQ(run_convert({"--batch"}, "1\tIn\xC2\x9B" "ches\xFF\tFeet\n").out,
            "error: unknown unit 'In\\xC2\\x9Bches\\xFF'; did you mean 'Inches'?\n");
}

TEST(Batch, GivesOneErrorLineForATenMegabyteLineOrAMegabyteNameAndGoesOn) {
  std::string input = "1\tInches\tFeet\n";
  input += std::string(10'000'000, '7') + "\tInches\tFeet\n";
  input += "2\tFeet\tInches\n";
  input += "3\t" + std::string(1'000'000, 'F') + "\tInches\n";  // a megabyte name, under the limit
  auto r = run_convert({"--batch"}, input);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "0.083333\nerror: line longer than 1048576 bytes\n24\n"
            "error: unknown unit '" + std::string(80, 'F') + "'... (1000000 bytes) "
            "(tavrin-convert --list shows the units)\n");
}

TEST(Batch, ConvertsAHundredThousandLinesInOrder) {
  std::string input, expected;
  for (int i = 0; i < 100'000; ++i) {
    const std::string n = std::to_string(i % 1000);
    input += n + "\tMetres\tCentimetres\n";
    expected += (i % 1000 == 0 ? std::string("0") : n + "00") + "\n";
  }
  auto r = run_convert({"--batch"}, input);
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.out == expected) << "output differs";
}

// tests/data/exact_results.tsv is what the Linux build's --batch --exact
// printed for every rule at awkward inputs: a fraction that binary cannot
// hold, a negative, a large, a subnormal and the largest double. Every build
// (Linux, Windows under wine, the web under node) must print it again, bit
// for bit. A deliberate change of the rules or of the exact form rewrites it,
// from a Linux build (one command):
//   TAVRIN_WRITE_EXACT_RESULTS=tests/data/exact_results.tsv
//     build/tests/cli/tavrin_cli_tests --gtest_filter='*LinuxBuilds*'
TEST(Batch, PrintsTheLinuxBuildsExactResultForEveryRuleAtAwkwardInputs) {
  const std::vector<std::string> inputs = {"0.1", "-7.25", "6.02214076e23", "1e-310", "1.7976931348623157e308"};
  std::string batch, written = "from\tto";
  for (const auto& input : inputs) written += "\t" + input;
  std::vector<std::string> rules;
  for (std::size_t c = 0; c < tavrin::category_count; ++c)
    for (auto from : tavrin::units_at(c).sources)
      for (auto to : tavrin::units_at(c).targets) {
        rules.push_back(std::string(from) + "\t" + std::string(to));
        for (const auto& input : inputs) batch += input + "\t" + rules.back() + "\n";
      }
  std::istringstream out(run_convert({"--batch", "--exact"}, batch).out);
  std::ifstream file(TAVRIN_TEST_DATA_DIR "/exact_results.tsv", std::ios::binary);
  std::string expected, line;
  std::getline(file, expected);
  EXPECT_EQ(expected, written) << "the file's inputs";
  written += "\n";
  for (const auto& rule : rules) {
    std::string got = rule;
    for (std::size_t i = 0; i < inputs.size() && std::getline(out, line); ++i)
      got += "\t" + (line.rfind("error: arithmetic fault: Overflow", 0) == 0 ? std::string("Overflow") : line);
    if (!std::getline(file, expected)) expected.clear();
    EXPECT_EQ(got, expected);
    written += got + "\n";
  }
  if (const char* path = std::getenv("TAVRIN_WRITE_EXACT_RESULTS")) std::ofstream(path, std::ios::binary) << written;
}

namespace {

std::string convert_in_blocks(const std::string& stream, std::size_t block) {
  tavrin::cli::BatchConverter converter(false);
  std::string out;
  for (std::size_t i = 0; i < stream.size(); i += block)
    converter.feed(std::string_view(stream).substr(i, block), out);
  converter.finish(out);
  return out;
}

} // namespace

TEST(BatchStream, GivesTheSameOutputHoweverTheStreamIsCutIntoBlocks) {
  const std::string stream =
      "12\tInches\tCentimetres\r\n\n\r\nx\tFeet\tInches\n-40\tDegrees Celcius\tKelvin\n1\tFeet\tInches";
  const std::string whole = convert_in_blocks(stream, stream.size());
  EXPECT_EQ(whole,
            "30.48\n"
            "error: expected VALUE<TAB>FROM<TAB>TO, found an empty line\n"
            "error: expected VALUE<TAB>FROM<TAB>TO, found an empty line\n"
            "error: not a number: 'x'\n"
            "233.15\n"
            "12\n");
  for (std::size_t block : {1u, 2u, 3u, 7u, 16u}) EXPECT_EQ(convert_in_blocks(stream, block), whole) << block;
  // UTF-16: marks, units and surrogate pairs cut anywhere.
  const std::string wide = utf16(u"x\U0001F600\tFeet\tInches\n1\tFeet\tInches\r\n\xDC00", true);
  const std::string wide_whole = convert_in_blocks(wide, wide.size());
  EXPECT_EQ(wide_whole, "error: not a number: 'x\xF0\x9F\x98\x80'\n12\n"
                        "error: cannot read the line as UTF-16 LE: a surrogate without its other half\n");
  for (std::size_t block : {1u, 3u, 5u}) EXPECT_EQ(convert_in_blocks(wide, block), wide_whole) << block;
}

TEST(BatchStream, CountsAnOverlongLineOnceWhetherItComesWholeOrInPieces) {
  const std::string stream = std::string(tavrin::cli::max_batch_line + 5, '1') + "\n3\tFeet\tInches\n";
  const std::string expected = "error: line longer than 1048576 bytes\n36\n";
  EXPECT_EQ(convert_in_blocks(stream, stream.size()), expected);
  EXPECT_EQ(convert_in_blocks(stream, 4096), expected);
  // Exactly at the limit the line is kept and converted (here: it has no tabs).
  const std::string at_limit = std::string(tavrin::cli::max_batch_line, '1') + "\n";
  EXPECT_EQ(convert_in_blocks(at_limit, 4096), "error: expected VALUE<TAB>FROM<TAB>TO, found 1 field\n");

  tavrin::cli::BatchConverter converter(false);
  std::string out;
  converter.feed(stream, out);
  EXPECT_EQ(converter.counts().lines, 2u);
  EXPECT_EQ(converter.counts().failed, 1u);
}

TEST(BatchStream, ConvertBatchLineDropsOneTrailingCarriageReturn) {
  auto r = tavrin::cli::convert_batch_line("1\tFeet\tInches\r", false);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.text, "12");
  r = tavrin::cli::convert_batch_line("1\tFeet\tInches\r\r", false);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.text, "error: unknown unit 'Inches\\x0D'; did you mean 'Inches'?");
}
