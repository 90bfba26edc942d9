// The core's results and their texts are the same under the C locale and
// under locales that write a decimal comma, set both for the C library and
// for the C++ library.
#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/catalogue.hpp"
#include "tavrin/convert.hpp"
#include "tavrin/number_text.hpp"

#include "comma_locales.hpp"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <stdexcept>
#include <string>

namespace {

// Inputs that a comma locale could misread or miswrite: fractions, a comma,
// exponents, blanks, no number, a subnormal and an overflow.
constexpr std::string_view inputs[] = {"1",     "12.5",   "-0.001", "1,5",   " 7 ",
                                       "abc",   "6.02e23", "1e-310", "1e308", "1234567.891"};

// Every input through every one of the 474 rules, one line each, in both
// written forms, faults by name.
std::string transcript() {
  std::string out;
  for (std::size_t c = 0; c < tavrin::category_count; ++c) {
    const auto lists = tavrin::units_at(c);
    for (auto from : lists.sources)
      for (auto to : lists.targets)
        for (auto input : inputs) {
          out.append(input).append(" | ").append(from).append(" | ").append(to).append(" | ");
          try {
            const double v = tavrin::convert(input, from, to);
            out.append(tavrin::display_form(v)).append(" | ").append(tavrin::exact_form(v));
          } catch (const tavrin::ArithmeticFault& fault) {
            out.append(tavrin::fault_name(fault.kind()));
          }
          out.push_back('\n');
        }
  }
  return out;
}

// Sets the C and the C++ global locale to `name` for its lifetime; `ok()` is
// false when the locale is not installed.
class ScopedLocale {
public:
  explicit ScopedLocale(const char* name) : c_before_(std::setlocale(LC_ALL, nullptr)) {
    if (!std::setlocale(LC_ALL, name)) return;
    try {
      cxx_before_ = std::locale::global(std::locale(name));
    } catch (const std::runtime_error&) {
#ifndef _WIN32
      std::setlocale(LC_ALL, c_before_.c_str());
      return;
#endif
      // MinGW's libstdc++ names no locale but "C"; the C runtime's is set.
    }
    ok_ = true;
  }
  ~ScopedLocale() {
    if (!ok_) return;
    std::locale::global(cxx_before_);
    std::setlocale(LC_ALL, c_before_.c_str());
  }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;
  bool ok() const { return ok_; }

private:
  std::string c_before_;
  std::locale cxx_before_;
  bool ok_ = false;
};

class CoreUnderLocale : public ::testing::TestWithParam<const char*> {};

TEST_P(CoreUnderLocale, GivesTheSameResultsAndTextsAsTheCLocale) {
#ifdef __EMSCRIPTEN__
  GTEST_SKIP() << "the web's C library has no locale but C: it takes any name and keeps the point";
#endif
  std::string reference;
  {
    ScopedLocale c_locale("C");
    ASSERT_TRUE(c_locale.ok());
    reference = transcript();
  }
  ScopedLocale locale(GetParam());
  if (!locale.ok()) GTEST_SKIP() << GetParam() << " is not installed";
  ASSERT_EQ(std::localeconv()->decimal_point, std::string(","))
      << "the locale should write a decimal comma, or this test proves nothing";
  const std::string under_locale = transcript();
  EXPECT_EQ(under_locale, reference);
  EXPECT_NE(reference.find("12.5 | Inches | Centimetres | 31.75 | 31.75\n"), std::string::npos);
  EXPECT_NE(reference.find("1,5 | Inches | Centimetres | 2.54 | 2.54\n"), std::string::npos);
  EXPECT_NE(reference.find("1e308 | Kilometres | Millimetres | Overflow\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(CommaLocales, CoreUnderLocale,
                         ::testing::ValuesIn(proof::comma_locales),
                         [](const auto& info) {
                           return std::string(info.param).substr(0, 5);
                         });

} // namespace
