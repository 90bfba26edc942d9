// Huge and hostile input through tavrin-convert, on its command line (up to
// the system's limit for one argument) and through --batch on
// stdin (any size): each gets its answer or one short error line quickly,
// and the program runs with a heap smaller than the input it is fed.
#include "run_convert.hpp"
#include "sanitized.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

constexpr std::size_t megabyte = std::size_t{1} << 20;

using tavrin::test::long_argument;  // as long as one argument may be here

using proof::sanitized;  // the sanitizer's shadow and quarantine need far more

// The heap a batch may have, less than the 10 MB fed to it: room for the
// longest line it keeps (a megabyte, with the string's growth) and its
// 64 KiB blocks, so a program that kept the whole input would fail.
constexpr std::size_t batch_data_limit = sanitized ? 0 : 8 * megabyte;

// A bound that tells linear from quadratic work, not a speed target (the
// benchmarks measure speed): linear work on these sizes takes tens of
// milliseconds (a few hundred when sanitized, or on Windows under wine, where
// the 10 MB stream takes 0.4 s), work that went back over the input per
// character would take hours, and a CI machine shared with parallel builds
// has been seen to take several times the usual.
constexpr auto quickly = std::chrono::seconds(30);

// The stream of many lines: 10 MB, or 1 MB in a sanitized build, where each
// conversion costs several times as much and 10 MB would take seconds.
constexpr std::size_t stream_size = sanitized ? megabyte : 10 * megabyte;

tavrin::test::Run run(const std::vector<std::string>& args, const std::string& input = {}) {
  auto r = tavrin::test::run_convert(args, input, {}, batch_data_limit);
  EXPECT_LT(r.elapsed, quickly) << args.size() << " arguments, " << input.size() << " bytes in";
  EXPECT_LT(r.err.size(), 1024u) << "an error message should stay one short line";
  EXPECT_LE(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  return r;
}

TEST(ConvertProgramHugeInput, RunsWithinTheDataLimit) {
  const auto r = run({"--batch"}, "12\tInches\tCentimetres\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "30.48\n");
}

TEST(ConvertProgramHugeInput, ATenMegabyteBatchLineFailsWithOneShortLine) {
  const std::string line = "1." + std::string(10 * megabyte, '5') + "\tInches\tCentimetres\n";
  const auto r = run({"--batch"}, line + "12\tInches\tCentimetres\n");
  EXPECT_EQ(r.status, 1);
  ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out.substr(0, 200);
  EXPECT_EQ(r.out.rfind("error: ", 0), 0u);
  EXPECT_LT(r.out.size(), 1024u);
  EXPECT_TRUE(r.out.ends_with("\n30.48\n")) << "the line after it is converted as usual";
}

TEST(ConvertProgramHugeInput, TenMegabytesOfBatchLinesStreamThrough) {
  std::string lines;
  std::size_t count = 0;
  for (; lines.size() < stream_size; ++count) lines += "12\tInches\tCentimetres\n";
  const auto r = run({"--batch"}, lines);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n')), count);
  EXPECT_EQ(r.out.size(), count * std::string("30.48\n").size());
}

TEST(ConvertProgramHugeInput, LongArgumentsGiveAShortError) {
  const std::string digits = "1." + std::string(long_argument, '5');
  auto r = run({digits, "Inches", "Centimetres"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "3.95111111111111\n");

  const std::string name(long_argument, 'M');
  r = run({"12", name, "Centimetres"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty());
  r = run({"12", "Inches", name});
  EXPECT_EQ(r.status, 2);
  r = run({"--list", name});
  EXPECT_EQ(r.status, 2);
  r = run({"--table", name});
  EXPECT_EQ(r.status, 2);
}

TEST(ConvertProgramHugeInput, AMegabyteUnitNameInABatchLineIsOneShortError) {
  const std::string name(megabyte - 64, 'x');
  const auto r = run({"--batch"}, "12\t" + name + "\tCentimetres\n12\tInches\t" + name + "\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
  EXPECT_LT(r.out.size(), 2048u) << "the name must not be echoed whole";
  EXPECT_EQ(r.out.rfind("error: ", 0), 0u);
}

TEST(ConvertProgramHostileInput, OnlySignsAndDotsAreNotANumber) {
  for (const std::string value : {"+", "-", ".", "+.", "-.-.", "...", "--5"}) {
    const auto r = run({value, "Metres", "Feet"});
    EXPECT_EQ(r.status, 2) << value;
    EXPECT_TRUE(r.out.empty()) << value;
  }
  std::string signs;
  while (signs.size() < long_argument) signs += "+-.";
  EXPECT_EQ(run({signs, "Metres", "Feet"}).status, 2);

  std::string batch;
  for (const std::string& value : std::vector<std::string>{"+", "-", ".", "+-.", std::string(megabyte / 2, '-')})
    batch += value + "\tMetres\tFeet\n";
  const auto r = run({"--batch"}, batch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 5);
  EXPECT_LT(r.out.size(), 2048u);
}

TEST(ConvertProgramHostileInput, AMillionDigitExponentGivesTheFaultOrItsValue) {
  // Beyond one argument's limit, so through a batch line.
  const std::string nines(1'000'000, '9');
  const auto r = run({"--batch"}, "1e" + nines + "\tMetres\tFeet\n" +
                                      "1e-" + nines + "\tMetres\tFeet\n" +
                                      "1e" + std::string(1'000'000, '0') + "2\tMetres\tCentimetres\n");
  EXPECT_EQ(r.status, 1);
  ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3) << r.out.substr(0, 300);
  EXPECT_EQ(r.out.rfind("error: ", 0), 0u);
  EXPECT_NE(r.out.find("Overflow"), std::string::npos) << r.out.substr(0, 300);
  EXPECT_TRUE(r.out.ends_with("\n0\n10000\n")) << r.out.substr(0, 300);

  const auto arg = run({"1e" + std::string(long_argument, '9'), "Metres", "Feet"});
  EXPECT_EQ(arg.status, 1);
  EXPECT_NE(arg.err.find("Overflow"), std::string::npos) << arg.err;
}

} // namespace
