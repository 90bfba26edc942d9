// The number reader and the two written forms, per call, each beside the
// bare library call it is built on (fast_float::from_chars, {fmt}'s
// format_to).
#include "ratio_reporter.hpp"

#include "tavrin/number_text.hpp"

#include <benchmark/benchmark.h>

#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <string_view>

namespace {

// Texts a user types: integers, fractions, exponents, blanks, signs.
constexpr std::string_view texts[] = {"12", "30.48", "0.999999", "-40", " 1e308", "6.21E-07",
                                      "373.15000000000003", "12.5 ", ".5", "1609344"};

// Results a conversion prints: plain, rounded, tiny, huge, negative.
constexpr double values[] = {30.48,   3 * 0.333333, (212 + 459.67) / 1.8, 6.21e-7, 1e308,
                             -17.7777777777778, 1609344, 0.1 + 0.2, 2.0 / 3.0, 123456.789};

constexpr auto text_count = sizeof texts / sizeof texts[0];
constexpr auto value_count = sizeof values / sizeof values[0];

void BM_parse_number(benchmark::State& state) {
  for (auto _ : state)
    for (auto t : texts) benchmark::DoNotOptimize(tavrin::parse_number(t));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text_count));
}
BENCHMARK(BM_parse_number);

// fast_float alone on the same texts, after their leading blanks and sign:
// the floor under any reader built on it.
void BM_fast_float(benchmark::State& state) {
  for (auto _ : state)
    for (auto t : texts) {
      while (!t.empty() && (t.front() == ' ' || t.front() == '-')) t.remove_prefix(1);
      double v = 0;
      fast_float::from_chars(t.data(), t.data() + t.size(), v);
      benchmark::DoNotOptimize(v);
    }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(text_count));
}
BENCHMARK(BM_fast_float);

void BM_display_form(benchmark::State& state) {
  for (auto _ : state)
    for (double v : values) benchmark::DoNotOptimize(tavrin::display_form(v));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(value_count));
}
BENCHMARK(BM_display_form);

// 15 significant digits in scientific form into a stack buffer.
void BM_fmt_15_digits(benchmark::State& state) {
  for (auto _ : state)
    for (double v : values) {
      char buf[40];
      benchmark::DoNotOptimize(fmt::format_to(buf, FMT_COMPILE("{:.14e}"), v));
      benchmark::ClobberMemory();
    }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(value_count));
}
BENCHMARK(BM_fmt_15_digits);

void BM_exact_form(benchmark::State& state) {
  for (auto _ : state)
    for (double v : values) benchmark::DoNotOptimize(tavrin::exact_form(v));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(value_count));
}
BENCHMARK(BM_exact_form);

// The shortest round-trip text into a stack buffer.
void BM_fmt_shortest(benchmark::State& state) {
  for (auto _ : state)
    for (double v : values) {
      char buf[40];
      benchmark::DoNotOptimize(fmt::format_to(buf, FMT_COMPILE("{}"), v));
      benchmark::ClobberMemory();
    }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(value_count));
}
BENCHMARK(BM_fmt_shortest);

} // namespace

int main(int argc, char** argv) {
  return bench::run_with_ratios(argc, argv,
                                {{"BM_parse_number", "BM_fast_float"},
                                 {"BM_display_form", "BM_fmt_15_digits"},
                                 {"BM_exact_form", "BM_fmt_shortest"}});
}
