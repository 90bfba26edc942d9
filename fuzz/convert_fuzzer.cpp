// Arbitrary input, source and target texts for a conversion. The data is
// split at the first two 0x1F bytes (unit separator) into input, source and
// target, so every text may hold NULs, invalid UTF-8 or megabytes of bytes.
// A leading 0xFF byte repeats each non-empty unit name until it holds a
// megabyte, so megabyte names come up without a megabyte -max_len (megabyte
// input texts are left to the reader's own fuzzer and the huge-input tests:
// under this instrumentation they would cost most of the run).
// A conversion returns a finite number or raises the fault; a pair has a rule
// exactly when both names stand in one category's lists; an identity never
// faults; a pair without a rule gives 0.
#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/catalogue.hpp"
#include "tavrin/convert.hpp"
#include "tavrin/number_text.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what, std::string_view input, std::string_view source,
                       std::string_view target) {
  std::fprintf(stderr, "convert: %s (input %zu bytes, source \"%.*s\", target \"%.*s\")\n", what,
               input.size(), static_cast<int>(std::min<std::size_t>(source.size(), 80)),
               source.data(), static_cast<int>(std::min<std::size_t>(target.size(), 80)),
               target.data());
  std::abort();
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The category whose lists hold both names, found by walking every list
// rather than through the core's sorted index.
std::optional<std::size_t> shared_category(std::string_view source, std::string_view target) {
  for (std::size_t c = 0; c < tavrin::category_count; ++c) {
    const auto lists = tavrin::units_at(c);
    const bool has_source =
        std::find(lists.sources.begin(), lists.sources.end(), source) != lists.sources.end();
    const bool has_target =
        std::find(lists.targets.begin(), lists.targets.end(), target) != lists.targets.end();
    if (has_source && has_target) return c;
  }
  return std::nullopt;
}

std::string_view take_field(std::string_view& rest) {
  const auto at = rest.find('\x1f');
  const std::string_view field = rest.substr(0, at);
  rest = at == std::string_view::npos ? std::string_view{} : rest.substr(at + 1);
  return field;
}

// `field` repeated until it holds at least a megabyte, in `out`. The buffer is
// kept from run to run: mapping and faulting in fresh megabytes each time
// would cost most of the run.
std::string_view amplified(std::string_view field, std::string& out) {
  constexpr std::size_t megabyte = std::size_t{1} << 20;
  out.assign(field);
  if (out.empty()) return out;
  while (out.size() < megabyte) out.append(out);  // doubling: 20 appends, not a million
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const bool amplify = !rest.empty() && rest.front() == '\xff';
  if (amplify) rest.remove_prefix(1);
  const std::string_view input = take_field(rest);
  std::string_view source = take_field(rest);
  std::string_view target = rest;
  if (amplify) {
    static std::string big_source, big_target;
    source = amplified(source, big_source);
    target = amplified(target, big_target);
  }

  const tavrin::Rule* rule = tavrin::find_rule(source, target);
  if ((rule != nullptr) != shared_category(source, target).has_value())
    fail("the rule lookup disagrees with the unit lists", input, source, target);
  if (rule && rule->kind == tavrin::RuleKind::none) fail("an empty rule was found", input, source, target);

  double x = 0.0;
  try {
    x = tavrin::parse_number(input).value;
  } catch (const tavrin::ArithmeticFault&) {
    // An input beyond the range faults before any rule is looked at.
    try {
      (void)tavrin::convert(input, source, target);
    } catch (const tavrin::ArithmeticFault&) {
      return 0;
    }
    fail("an input that overflows converted without the fault", input, source, target);
  }

  double result = 0.0;
  try {
    result = tavrin::convert(input, source, target);
  } catch (const tavrin::ArithmeticFault& fault) {
    if (!rule) fail("a pair without a rule faulted", input, source, target);
    if (rule->kind == tavrin::RuleKind::identity) fail("an identity faulted", input, source, target);
    if (fault.kind() == tavrin::FaultKind::division_by_zero)
      fail("no rule divides by a variable", input, source, target);
    return 0;
  }
  if (!std::isfinite(result)) fail("a result that is not finite", input, source, target);
  if (!rule && !same_bits(result, 0.0)) fail("a pair without a rule did not give 0", input, source, target);
  if (rule && !same_bits(result, tavrin::apply(*rule, x)))
    fail("convert differs from the rule applied to the read value", input, source, target);
  if (rule && rule->kind == tavrin::RuleKind::identity && !same_bits(result, x))
    fail("an identity changed the value", input, source, target);
  if (rule && rule->kind == tavrin::RuleKind::scale && !same_bits(-result, tavrin::apply(*rule, -x)))
    fail("a scale rule is not odd in its input", input, source, target);
  return 0;
}
