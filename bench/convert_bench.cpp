// convert over all 474 pairs in turn, against baselines that find the rule
// by testing the pairs one after another in a fixed order of categories
// (Length, Area, Mass, ... Temperature): the full chain runs all 474 tests
// every time, comparing both names in each; the first-match chain stops at
// the pair that matches. Ratios are of CPU time per iteration, all from the
// same run.
#include "ratio_reporter.hpp"

#include "tavrin/catalogue.hpp"
#include "tavrin/convert.hpp"
#include "tavrin/number_text.hpp"
#include "tavrin/rule.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

struct Pair {
  std::string_view source, target;
  const tavrin::Rule* rule;
};

// Every pair in catalogue order: each category's sources, each against all its targets.
std::vector<Pair> catalogue_pairs() {
  std::vector<Pair> pairs;
  for (std::size_t c = 0; c < tavrin::category_count; ++c) {
    const auto lists = tavrin::units_at(c);
    for (auto s : lists.sources)
      for (auto t : lists.targets) pairs.push_back({s, t, tavrin::find_rule(s, t)});
  }
  return pairs;
}

// The baselines' chain: the same rules, category by category in a fixed
// order, each category's sources against all its targets.
std::vector<Pair> chain_pairs() {
  static constexpr std::string_view order[] = {
      "Length",          "Area",          "Mass",
      "Volume",          "Density",       "Volumetric Liquid Flow",
      "Volumetric Gas Flow", "Mass Flow", "High Pressure",
      "Low Pressure",    "Speed",         "Torque",
      "Dynamic Viscosity", "Kinematic Viscosity", "Temperature"};
  std::vector<Pair> chain;
  for (auto category : order) {
    const auto lists = tavrin::units_of(category);
    for (auto s : lists.sources)
      for (auto t : lists.targets) chain.push_back({s, t, tavrin::find_rule(s, t)});
  }
  return chain;
}

const std::vector<Pair> pairs = catalogue_pairs();
const std::vector<Pair> chain = chain_pairs();

// The first-match chain: read the input, then test the pairs in chain order
// until one matches. Stopping at the match flatters a chain; the full chain
// (full_chain_convert below) runs every test.
double first_match_chain_convert(std::string_view input, std::string_view source,
                                 std::string_view target) {
  const double x = tavrin::parse_number(input).value;
  for (const auto& p : chain)
    if (p.source == source && p.target == target) return tavrin::apply(*p.rule, x);
  return 0.0;
}

// The full chain: all 474 tests every time, each comparing both names (no
// short cut when the first comparison fails), the match applied.
double full_chain_convert(std::string_view input, std::string_view source,
                          std::string_view target) {
  const double x = tavrin::parse_number(input).value;
  double result = 0.0;
  for (const auto& p : chain) {
    // Not const: Google Benchmark 1.8 deprecates DoNotOptimize of a const.
    bool same_source = p.source == source;
    bool same_target = p.target == target;
    benchmark::DoNotOptimize(same_source);
    benchmark::DoNotOptimize(same_target);
    if (same_source & same_target) result = tavrin::apply(*p.rule, x);
  }
  return result;
}

// The benchmark compares like with like only if both give the same results.
void check_same_results() {
  if (pairs.size() != tavrin::rule_count || chain.size() != tavrin::rule_count) {
    std::fprintf(stderr, "expected %zu pairs\n", tavrin::rule_count);
    std::exit(1);
  }
  for (const auto& p : pairs) {
    const double a = tavrin::convert("12.5", p.source, p.target);
    const double b = first_match_chain_convert("12.5", p.source, p.target);
    const double c = full_chain_convert("12.5", p.source, p.target);
    if (std::memcmp(&a, &b, sizeof a) != 0 || std::memcmp(&a, &c, sizeof a) != 0) {
      std::fprintf(stderr, "results differ for %.*s to %.*s\n", static_cast<int>(p.source.size()),
                   p.source.data(), static_cast<int>(p.target.size()), p.target.data());
      std::exit(1);
    }
  }
}

void BM_convert_all_pairs(benchmark::State& state) {
  for (auto _ : state)
    for (const auto& p : pairs) benchmark::DoNotOptimize(tavrin::convert("12.5", p.source, p.target));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pairs.size()));
}
BENCHMARK(BM_convert_all_pairs);

void BM_first_match_chain_all_pairs(benchmark::State& state) {
  for (auto _ : state)
    for (const auto& p : pairs)
      benchmark::DoNotOptimize(first_match_chain_convert("12.5", p.source, p.target));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pairs.size()));
}
BENCHMARK(BM_first_match_chain_all_pairs);

void BM_full_chain_all_pairs(benchmark::State& state) {
  for (auto _ : state)
    for (const auto& p : pairs)
      benchmark::DoNotOptimize(full_chain_convert("12.5", p.source, p.target));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pairs.size()));
}
BENCHMARK(BM_full_chain_all_pairs);

// The lookup alone, without reading the input or applying the rule.
void BM_find_rule_all_pairs(benchmark::State& state) {
  for (auto _ : state)
    for (const auto& p : pairs) benchmark::DoNotOptimize(tavrin::find_rule(p.source, p.target));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pairs.size()));
}
BENCHMARK(BM_find_rule_all_pairs);

void BM_first_match_chain_lookup_all_pairs(benchmark::State& state) {
  for (auto _ : state)
    for (const auto& p : pairs) {
      const tavrin::Rule* found = nullptr;
      for (const auto& c : chain)
        if (c.source == p.source && c.target == p.target) {
          found = c.rule;
          break;
        }
      benchmark::DoNotOptimize(found);
    }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pairs.size()));
}
BENCHMARK(BM_first_match_chain_lookup_all_pairs);

} // namespace

int main(int argc, char** argv) {
  check_same_results();
  return bench::run_with_ratios(argc, argv,
                                {{"BM_first_match_chain_all_pairs", "BM_convert_all_pairs"},
                                 {"BM_full_chain_all_pairs", "BM_convert_all_pairs"},
                                 {"BM_first_match_chain_lookup_all_pairs", "BM_find_rule_all_pairs"}});
}
