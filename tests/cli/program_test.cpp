// tavrin-convert run as a user runs it: arguments in, stdout, stderr and the
// exit status out.
#include "run_convert.hpp"
#include "tavrin/cli/audit.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using tavrin::test::run_convert;

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    auto nl = text.find('\n', start);
    if (nl == std::string::npos) nl = text.size();
    out.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return out;
}

// A failure: nothing on stdout, one line on stderr that holds `needle`.
void expect_failure(const tavrin::test::Run& r, int status, const std::string& needle) {
  EXPECT_EQ(r.status, status) << r.err;
  EXPECT_EQ(r.out, "");
  ASSERT_EQ(lines(r.err).size(), 1u) << r.err;
  EXPECT_EQ(r.err.back(), '\n');
  EXPECT_NE(r.err.find(needle), std::string::npos) << r.err;
}

} // namespace

TEST(SingleConversion, PrintsTheResultAsOneLineOnStdoutAndExitsZero) {
  auto r = run_convert({"12", "Inches", "Centimetres"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "30.48\n");
  EXPECT_EQ(r.err, "");
}

TEST(SingleConversion, TakesNegativeNumbersAsValuesNotAsOptions) {
  EXPECT_EQ(run_convert({"-40", "Degrees Celcius", "Degrees Fahrenheit"}).out, "-40\n");
  EXPECT_EQ(run_convert({"-1e5", "Millimetres", "Metres"}).out, "-100\n");
  EXPECT_EQ(run_convert({"-.5", "Metres", "Centimetres"}).out, "-50\n");
  EXPECT_EQ(run_convert({"-5.", "Metres", "Centimetres"}).out, "-500\n");
  // Options may follow a negative value.
  EXPECT_EQ(run_convert({"-.5", "Feet", "Metres", "--exact"}).out, "-0.1524\n");
  // A negative value after "--" is a value too.
  EXPECT_EQ(run_convert({"--", "-.5", "Metres", "Centimetres"}).out, "-50\n");
}

TEST(SingleConversion, ExactPrintsTheShortestTextThatReadsBackToTheSameDouble) {
  EXPECT_EQ(run_convert({"3", "Feet", "Metres"}).out, "0.9144\n");
  EXPECT_EQ(run_convert({"--exact", "3", "Feet", "Metres"}).out, "0.9144000000000001\n");
}

TEST(SingleConversion, TakesBlanksAroundTheValueButRefusesAnythingElse) {
  EXPECT_EQ(run_convert({" 12\t", "Inches", "Centimetres"}).out, "30.48\n");
  expect_failure(run_convert({"abc", "Inches", "Centimetres"}), 2, "not a number: 'abc'");
  expect_failure(run_convert({"12cm", "Inches", "Centimetres"}), 2, "not a number: '12cm'");
  expect_failure(run_convert({"", "Inches", "Centimetres"}), 2, "not a number: ''");
  expect_failure(run_convert({"1e", "Inches", "Centimetres"}), 2, "not a number: '1e'");
  expect_failure(run_convert({"1e400x", "Inches", "Inches"}), 2, "not a number");
}

TEST(SingleConversion, NamesAnUnknownUnitAndSuggestsTheNearestSpelling) {
  expect_failure(run_convert({"1", "inches", "Centimetres"}), 2,
                 "unknown unit 'inches'; did you mean 'Inches'?");
  expect_failure(run_convert({"1", "Inches", "centimeters"}), 2,
                 "unknown unit 'centimeters'; did you mean 'Centimetres'?");
  expect_failure(run_convert({"1", "celsius", "Kelvin"}), 2, "did you mean 'Degrees Celcius'?");
  // "Inch pound" is the target list's spelling; as FROM the source spelling is meant.
  expect_failure(run_convert({"1", "Inch pound", "Foot Pound"}), 2, "did you mean 'Inch Pound'?");
  auto r = run_convert({"1", "xyz", "Kelvin"});
  expect_failure(r, 2, "unknown unit 'xyz'");
  EXPECT_EQ(r.err.find("did you mean"), std::string::npos) << r.err;
}

TEST(SingleConversion, PointsACategoryNameGivenAsAUnitToThatCategorysUnits) {
  expect_failure(run_convert({"1", "Inches", "Length"}), 2,
                 "unknown unit 'Length': it is a category (tavrin-convert --list 'Length' shows its units)");
}

TEST(SingleConversion, NamesBothCategoriesForUnitsOfDifferentCategories) {
  auto r = run_convert({"1", "Inches", "Kelvin"});
  expect_failure(r, 2, "'Length'");
  EXPECT_NE(r.err.find("'Temperature'"), std::string::npos) << r.err;
}

TEST(SingleConversion, ExitsOneOnOverflowAndPrintsNoResult) {
  expect_failure(run_convert({"1E+308", "Kilometres", "Millimetres"}), 1, "Overflow");
  // A value beyond the double range is the same fault, even for the identity rule.
  expect_failure(run_convert({"1e400", "Inches", "Inches"}), 1, "Overflow");
  // The identity rule never overflows.
  EXPECT_EQ(run_convert({"1E+308", "Kilometres", "Kilometres"}).out, "1E+308\n");
}

TEST(SingleConversion, KeepsMessagesAboutHugeOrOddNamesToOneShortLine) {
  auto r = run_convert({"1", std::string(tavrin::test::long_argument, 'x'), "Kelvin"});
  expect_failure(r, 2, "unknown unit 'xxx");
  EXPECT_LT(r.err.size(), 300u);
  EXPECT_NE(r.err.find(std::to_string(tavrin::test::long_argument) + " bytes"), std::string::npos) << r.err;

  r = run_convert({"1", "In\nches\x1b[2J", "Kelvin"});
  expect_failure(r, 2, "'In\\x0Aches\\x1B[2J'");
}

TEST(SingleConversion, ReportsUsageErrorsWithExitTwo) {
  expect_failure(run_convert({}), 2, "expected VALUE FROM TO");
  expect_failure(run_convert({"12", "Inches"}), 2, "expected VALUE FROM TO");
  expect_failure(run_convert({"12", "Inches", "Feet", "Yards"}), 2, "expected VALUE FROM TO");
  expect_failure(run_convert({"--frobnicate", "1", "Inches", "Feet"}), 2, "--frobnicate");
  expect_failure(run_convert({"--csv", "1", "Inches", "Feet"}), 2, "--table");
  expect_failure(run_convert({"--list", "--table", "Length"}), 2, "excludes");
  expect_failure(run_convert({"--batch", "1"}), 2, "--batch");
  expect_failure(run_convert({"--table"}), 2, "--table");
  // CLI11 names the argument as typed; it reaches the terminal escaped.
  expect_failure(run_convert({"--x\x1b[2J\xC2\x9B"}), 2, "--x\\x1B[2J\\xC2\\x9B");
}

TEST(SingleConversion, ReportsAnOutputThatCannotBeWrittenAsAFailure) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no /dev/full; tests/windows writes into a closed pipe instead";
#else
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
#ifdef __EMSCRIPTEN__
  const std::string program = std::string("node '") + TAVRIN_CONVERT_PATH + "'";
#else
  const std::string program = std::string("'") + TAVRIN_CONVERT_PATH + "'";
#endif
  for (const std::string& cmd : {program + " 1 Inches Feet",
                                "printf '1\\tInches\\tFeet\\n' | " + program + " --batch",
                                program + " --table Length --csv"}) {
    const int rc = std::system((cmd + " > /dev/full 2>/dev/null").c_str());
    ASSERT_TRUE(WIFEXITED(rc)) << cmd;
    EXPECT_EQ(WEXITSTATUS(rc), 1) << cmd;
  }
#endif
}

TEST(HelpAndVersion, VersionComesFromTheProjectVersion) {
  auto r = run_convert({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "tavrin-convert " TAVRIN_VERSION_TEXT "\n");
  EXPECT_EQ(std::string(TAVRIN_VERSION_TEXT).size(), 4u);  // "1.00": major, point, two digits
}

TEST(HelpAndVersion, HelpShowsEveryFormAndTheExitStatuses) {
  auto r = run_convert({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* s : {"--exact", "--explain", "--batch", "--list", "--table", "--csv", "--audit", "--svg",
                        "--version", "Exit status"})
    EXPECT_NE(r.out.find(s), std::string::npos) << s;
}

TEST(Explain, ShowsTheRuleTheReverseRuleAndTheRoundTrip) {
  auto r = run_convert({"--explain", "1", "Inches", "Centimetres"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "2.54\n"
            "rule: Inches to Centimetres: x × 2.54\n"
            "reverse rule: Centimetres to Inches: x × 0.393701\n"
            "round trip: 1 Inches -> 2.54 Centimetres -> 1.00000054 Inches\n"
            "by definition: x × 2.54 (this rule is exact)\n");
}

TEST(Explain, ShowsTheExactFactorTheDeviationAndTheConventionsItAssumes) {
  auto r = run_convert({"--explain", "1", "US barrel", "ftCube"});
  EXPECT_NE(r.out.find("\nby definition: x × 5.614583333 (this rule is 6.865 % high)\n"),
            std::string::npos) << r.out;
  r = run_convert({"--explain", "1", "Degrees Fahrenheit", "Kelvin"});
  EXPECT_NE(r.out.find("\nby definition: x × 0.5555555556 + 255.3722222 (this rule is exact)\n"),
            std::string::npos) << r.out;
  r = run_convert({"--explain", "1", "Normal metre cube/h", "Standard cubic ft/h"});
  for (const char* s : {"(this rule is 0.01115 % low)", "note: Normal metre cube/h: a cubic metre of gas at",
                        "as if both units were at one condition",
                        "at the customary conditions: x × 37.32566333 (this rule is 5.398 % low)"})
    EXPECT_NE(r.out.find(s), std::string::npos) << s << "\n" << r.out;
}

TEST(Explain, GoesBackThroughTheTargetListsSpellingInTorqueAndShowsFormulas) {
  auto r = run_convert({"--explain", "1", "Inch Pound", "Foot Pound"});
  EXPECT_NE(r.out.find("reverse rule: Foot Pound to Inch pound: x × 12\n"), std::string::npos)
      << r.out;
  r = run_convert({"--explain", "100", "Degrees Celcius", "Degrees Fahrenheit"});
  EXPECT_EQ(lines(r.out).at(0), "212");
  EXPECT_NE(r.out.find("((x × 9) / 5) + 32"), std::string::npos) << r.out;
}

TEST(Explain, SaysWhetherTheRoundTripGivesBackTheSameDouble) {
  auto r = run_convert({"--explain", "7", "Kelvin", "Kelvin"});
  EXPECT_NE(r.out.find("rule: Kelvin to Kelvin: x\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("-> 7 Kelvin (the same double)"), std::string::npos) << r.out;
  // 15 digits hide the difference here; the exact form shows it.
  r = run_convert({"--explain", "3", "Millimetres", "Centimetres"});
  EXPECT_NE(r.out.find("-> 3 Millimetres (not the same double: 3.0000000000000004)"),
            std::string::npos) << r.out;
}

TEST(Explain, ReportsErrorsAsThePlainConversionDoes) {
  expect_failure(run_convert({"--explain", "1E+308", "Kilometres", "Millimetres"}), 1, "Overflow");
  expect_failure(run_convert({"--explain", "x", "Inches", "Feet"}), 2, "not a number");
}

TEST(List, PrintsTheFifteenCategoriesInCatalogueOrder) {
  auto r = run_convert({"--list"});
  EXPECT_EQ(r.status, 0);
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 15u);
  EXPECT_EQ(l.front(), "Length");
  EXPECT_EQ(l[6], "Torque");
  EXPECT_EQ(l.back(), "Low Pressure");
}

TEST(List, PrintsOneCategorysUnitsAndBothListsForTorque) {
  auto l = lines(run_convert({"--list", "Length"}).out);
  EXPECT_EQ(l, (std::vector<std::string>{"Millimetres", "Centimetres", "Metres", "Kilometres",
                                         "Inches", "Feet", "Yards", "Miles"}));
  auto r = run_convert({"--list", "Torque"});
  EXPECT_EQ(r.out,
            "sources (FROM):\n  Newton metre\n  Kilogram force metre\n  Foot Pound\n  Inch Pound\n"
            "targets (TO):\n  Newton metre\n  Kilogram force metre\n  Foot Pound\n  Inch pound\n");
}

TEST(List, TakesTheCategoryAfterAnEqualsSignAndRefusesAnEmptyOne) {
  EXPECT_EQ(run_convert({"--list=Torque"}).out, run_convert({"--list", "Torque"}).out);
  expect_failure(run_convert({"--list", ""}), 2, "unknown category ''");
  expect_failure(run_convert({"--list", "Length", "Area"}), 2, "--list");
}

TEST(List, NamesAnUnknownCategoryWithTheNearestSpelling) {
  expect_failure(run_convert({"--list", "length"}), 2, "unknown category 'length'; did you mean 'Length'?");
}

TEST(Table, ShowsTheInchPoundRowAndTheInchpoundColumnForTorque) {
  auto r = run_convert({"--table", "Torque"});
  EXPECT_EQ(r.status, 0);
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 6u);  // title, headings, four rows
  EXPECT_NE(l[1].find("Inch pound"), std::string::npos);
  EXPECT_EQ(l[1].find("Inch Pound"), std::string::npos);
  EXPECT_EQ(l[5].rfind("Inch Pound ", 0), 0u) << l[5];
  // Aligned: every row as wide as the headings, numbers flush right.
  for (std::size_t i = 2; i < l.size(); ++i) EXPECT_EQ(l[i].size(), l[1].size()) << l[i];
  EXPECT_EQ(l[5].substr(l[5].size() - 3), "  1");  // Inch Pound to Inch pound is the identity
}

TEST(Table, ConvertsTheGivenValueIncludingNegativeOnes) {
  auto l = lines(run_convert({"--table", "Temperature", "-40"}).out);
  ASSERT_EQ(l.size(), 5u);
  EXPECT_EQ(l[2].rfind("Degrees Celcius", 0), 0u);
  EXPECT_NE(l[2].find("-40"), std::string::npos);
  expect_failure(run_convert({"--table", "Length", "two"}), 2, "not a number: 'two'");
  expect_failure(run_convert({"--table", "Lenght"}), 2, "did you mean 'Length'?");
}

TEST(Table, CsvIsOneRecordPerLineWithQuotedFieldsWhereNeeded) {
  auto r = run_convert({"--table", "High Pressure", "--csv"});
  EXPECT_EQ(r.status, 0);
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 8u);  // headings and seven rows, no title
  EXPECT_EQ(l[0], "from \\ to,Bar,Pound/Square Inch,Kilopascal,Megapascal,"
                  "Kg Force/ cm Square,mm of mercury,Atmospheres");
  EXPECT_EQ(l[1].rfind("Bar,1,14.50326,100,0.1,", 0), 0u) << l[1];
  r = run_convert({"--table", "Length", "2", "--csv", "--exact"});
  EXPECT_NE(lines(r.out).at(5).find(",5.08,"), std::string::npos) << r.out;
}

TEST(Table, OverflowingCellsSayOverflowWithoutAbortingTheTable) {
  auto r = run_convert({"--table", "Length", "1e308"});
  EXPECT_EQ(r.status, 1);
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 10u);
  EXPECT_NE(l[3].find("Overflow"), std::string::npos);  // Centimetres to Millimetres
  EXPECT_NE(l[9].find("1E+308"), std::string::npos);   // Miles to Miles
  ASSERT_EQ(lines(r.err).size(), 1u);
  EXPECT_NE(r.err.find("cells"), std::string::npos) << r.err;
  // A value beyond the range has no table at all.
  expect_failure(run_convert({"--table", "Length", "1e999"}), 1, "Overflow");
}

TEST(Audit, ListsTheWorstRulesFirstWithTheirConventionsNoted) {
  auto r = run_convert({"--audit"});
  EXPECT_EQ(r.status, 0);
  auto l = lines(r.out);
  ASSERT_GT(l.size(), 2u + 394u);
  EXPECT_EQ(l[1].rfind("category ", 0), 0u) << l[1];
  for (const char* s : {"Area ", "mm Square ", "Yd Square ", "x × 0.000001 ", "0.000001195990046 ",
                        " -16.39 %  0.836127"})
    EXPECT_NE(l[2].find(s), std::string::npos) << s << "\n" << l[2];
  EXPECT_NE(l[4].find(" +6.865 % "), std::string::npos) << l[4];  // US barrel to ftCube
  for (const char* s : {"\nnotes:\n", "  water: Metre of Water, Ft of Water, Inches of Water: ",
                        "  tonne: Ton / hr: the ton is the metric tonne",
                        "    Normal metre cube/h to Standard cubic ft/h: x × 37.32566333 (this rule is 5.398 % low)"})
    EXPECT_NE(r.out.find(s), std::string::npos) << s;
  r = run_convert({"--audit", "Temperature"});
  l = lines(r.out);
  ASSERT_EQ(l.size(), 8u);  // title, headings, six rules, no notes
  EXPECT_NE(l[2].find("((x × 9) / 5) + 32  x × 1.8 + 32"), std::string::npos) << l[2];
  expect_failure(run_convert({"--audit", "Lenght"}), 2, "did you mean 'Length'?");
  expect_failure(run_convert({"--audit", "Length", "Area"}), 2, "--audit");
  expect_failure(run_convert({"--svg", "x.svg"}), 2, "--audit");
}

TEST(Audit, CsvHasTheFixedHeaderAndOnePlainRecordPerRule) {
  auto r = run_convert({"--audit", "--csv"});
  EXPECT_EQ(r.status, 0);
  auto l = lines(r.out);
  ASSERT_EQ(l.size(), 1u + 394u);
  EXPECT_EQ(l[0], "category,from,to,rule,exact,deviation_percent,round_trip");
  EXPECT_EQ(l[3], "Volume,US barrel,ftCube,x × 6,5.614583333,6.86456,1.068762");
  for (const auto& line : l) {  // no field needs quoting, so seven fields are seven
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 6) << line;
    EXPECT_EQ(line.find('"'), std::string::npos) << line;
  }
  r = run_convert({"--audit", "Temperature", "--csv"});
  EXPECT_NE(r.out.find("\nTemperature,Degrees Fahrenheit,Degrees Celcius,((x − 32) × 5) / 9,"
                       "x × 0.5555555556 − 17.77777778,0,1\n"), std::string::npos) << r.out;
}

TEST(Audit, TheSvgInDocsIsTheOneTheProgramDraws) {
  // After a change of the rules, the definitions or the drawing:
  //   tavrin-convert --audit --svg docs/audit.svg
  std::ifstream in(TAVRIN_DOCS_DIR "/audit.svg", std::ios::binary);
  std::stringstream stored;
  stored << in.rdbuf();
  EXPECT_TRUE(stored.str() == tavrin::cli::audit_svg()) << "docs/audit.svg is stale";
  auto r = run_convert({"--audit", "Gas", "--svg", "-"});
  expect_failure(r, 2, "unknown category 'Gas'");
  r = run_convert({"--audit", "Volumetric Gas Flow", "--svg", "-"});
  EXPECT_EQ(r.out, tavrin::cli::audit_svg(11));
  expect_failure(run_convert({"--audit", "--svg", "/nonexistent/dir/audit.svg"}), 1,
                 "cannot write '/nonexistent/dir/audit.svg'");
}

TEST(Audit, ReplacesTheSvgWholeOrLeavesTheOldFileAndNoTemporaryOne) {
  namespace fs = std::filesystem;
  fs::path scratch = fs::temp_directory_path() / "tavrin-svg";
  for (int i = 0; !fs::create_directory(scratch); ++i)
    scratch = fs::temp_directory_path() / ("tavrin-svg-" + std::to_string(i));
  fs::create_directory(scratch / "folder");
  const fs::path svg = scratch / "audit.svg";
  auto old_file = [&svg] { std::ofstream(svg, std::ios::binary) << "old"; };
  auto contents = [&svg] {
    std::ifstream in(svg, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  auto entries = [&scratch] {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(scratch)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::vector<std::string> just_these{"audit.svg", "folder"};

  old_file();
  EXPECT_EQ(run_convert({"--audit", "--svg", svg.string()}).status, 0);
  EXPECT_TRUE(contents() == tavrin::cli::audit_svg()) << "the old file was not replaced";
  EXPECT_EQ(entries(), just_these);

  old_file();
  expect_failure(run_convert({"--audit", "--svg", (scratch / "folder").string()}), 1, "cannot write");
#ifndef _WIN32
  // A full disk: the file-size limit (ulimit -f, 512 or 1024 bytes) fails the
  // write with EFBIG at the same point ENOSPC would, as root too and with no
  // file system to mount.
#ifdef __EMSCRIPTEN__
  const std::string program = "node '" TAVRIN_CONVERT_PATH "'";  // a script for node
#else
  const std::string program = "'" TAVRIN_CONVERT_PATH "'";
#endif
  const std::string command =
      "ulimit -f 1; exec " + program + " --audit --svg '" + svg.string() + "' 2>/dev/null";
  const int rc = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 1) << rc;
#endif
  EXPECT_EQ(contents(), "old");
  EXPECT_EQ(entries(), just_these);
  fs::remove_all(scratch);
}

TEST(Audit, ListingCsvAndExplanationsAreTheStoredOnesByteForByte) {
  // Saved once from the program (tests/data/audit/): whatever computes the
  // exact figures, the text they come out as stays the same.
  const auto stored = [](const char* name) {
    std::ifstream in(std::string(TAVRIN_TEST_DATA_DIR "/audit/") + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  };
  using tavrin::cli::TableForm;
  EXPECT_EQ(tavrin::cli::audit_listing({}, TableForm::aligned).out, stored("listing.txt"));
  EXPECT_EQ(tavrin::cli::audit_listing({}, TableForm::csv).out, stored("listing.csv"));
  // explain.txt: "> VALUE<TAB>FROM<TAB>TO", then what --explain prints for it.
  const std::string explained = stored("explain.txt");
  ASSERT_EQ(explained.rfind("> ", 0), 0u);
  std::istringstream cases(explained);
  std::string again;
  for (std::string line; std::getline(cases, line);) {
    if (line.rfind("> ", 0) != 0) continue;
    std::istringstream fields(line.substr(2));
    std::string value, from, to;
    std::getline(fields, value, '\t');
    std::getline(fields, from, '\t');
    std::getline(fields, to);
    again += line + "\n" + tavrin::cli::explain_one(value, from, to, false).out;
  }
  EXPECT_EQ(again, explained);
}

TEST(Locale, ACommaDecimalLocaleGivesTheSameOutput) {
#ifdef _WIN32
  GTEST_SKIP() << "a Windows program takes no locale from LC_ALL; CoreUnderLocale sets the C runtime's";
#elif defined(__EMSCRIPTEN__)
  GTEST_SKIP() << "the web's C library has no locale but C, whatever LC_ALL says";
#endif
  if (!tavrin::test::locale_available("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  const std::vector<std::vector<std::string>> commands = {
      {"1.5", "Inches", "Centimetres"},
      {"--exact", "3", "Feet", "Metres"},
      {"--explain", "0.5", "Bar", "Kilopascal"},
      {"--table", "Speed", "2.5"},
      {"--table", "Mass", "1.25", "--csv"},
      {"--audit", "Low Pressure"},
      {"1,5", "Inches", "Centimetres"}};
  for (const auto& c : commands) {
    auto plain = run_convert(c, {}, {"LC_ALL=C"});
    auto german = run_convert(c, {}, {"LC_ALL=de_DE.UTF-8"});
    EXPECT_EQ(german.out, plain.out) << c[0];
    EXPECT_EQ(german.err, plain.err) << c[0];
    EXPECT_EQ(german.status, plain.status) << c[0];
  }
  const std::string batch = "1.5\tInches\tCentimetres\n2,5\tInches\tCentimetres\n";
  auto german = run_convert({"--batch"}, batch, {"LC_ALL=de_DE.UTF-8"});
  EXPECT_EQ(german.out, "3.81\nerror: not a number: '2,5'\n");
}
