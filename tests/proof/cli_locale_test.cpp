// tavrin-convert prints the same bytes under the C locale and under locales
// that write a decimal comma, chosen through LC_ALL as a user would.
#include "run_convert.hpp"

#include "tavrin/catalogue.hpp"

#include "comma_locales.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every pair of every category for a few inputs, as batch lines.
std::string every_pair_batch() {
  std::string lines;
  for (std::size_t c = 0; c < tavrin::category_count; ++c) {
    const auto lists = tavrin::units_at(c);
    for (auto from : lists.sources)
      for (auto to : lists.targets)
        for (std::string_view input : {"12.5", "-0.001", "1,5", "6.02e23", "1e308", "1e-310"})
          lines.append(input).append("\t").append(from).append("\t").append(to).append("\n");
  }
  return lines;
}

// What the program prints for a set of commands under one locale, with the
// exit statuses.
std::string session(const std::string& locale) {
  const std::vector<std::string> env{"LC_ALL=" + locale};
  std::string out;
  auto run = [&](const std::vector<std::string>& args, const std::string& input = {}) {
    const auto r = tavrin::test::run_convert(args, input, env);
    for (const auto& a : args) out += a + ' ';
    out += "=> " + std::to_string(r.status) + "\n" + r.out + r.err;
  };
  const std::string batch = every_pair_batch();
  run({"--batch"}, batch);
  run({"--batch", "--exact"}, batch);
  run({"12.5", "Inches", "Centimetres"});
  run({"--exact", "212", "Degrees Fahrenheit", "Kelvin"});
  run({"1,5", "Inches", "Centimetres"});
  run({"--explain", "0.5", "Pound / ftCube", "Gram / ml"});
  // Tables in both layouts for three categories (the batch above has every pair).
  for (const char* category : {"Length", "Temperature", "High Pressure"}) {
    run({"--table", category, "1234.5"});
    run({"--table", category, "0.001", "--csv"});
  }
  return out;
}

class ConvertProgramUnderLocale : public ::testing::TestWithParam<const char*> {};

TEST_P(ConvertProgramUnderLocale, PrintsTheSameAsUnderTheCLocale) {
#ifdef _WIN32
  GTEST_SKIP() << "a Windows program takes no locale from LC_ALL; CoreUnderLocale sets the C runtime's";
#elif defined(__EMSCRIPTEN__)
  GTEST_SKIP() << "the web's C library has no locale but C, whatever LC_ALL says";
#endif
  if (!tavrin::test::locale_available(GetParam())) GTEST_SKIP() << GetParam() << " is not installed";
  static const std::string reference = session("C");
  EXPECT_NE(reference.find("12.5 Inches Centimetres => 0\n31.75\n"), std::string::npos)
      << reference.substr(0, 2000);
  EXPECT_EQ(session(GetParam()), reference);
}

INSTANTIATE_TEST_SUITE_P(CommaLocales, ConvertProgramUnderLocale,
                         ::testing::ValuesIn(proof::comma_locales),
                         [](const auto& info) {
                           return std::string(info.param).substr(0, 5);
                         });

} // namespace
