// Any bytes as number text: the reader never crashes, gives a finite value or
// the overflow fault, agrees with the standard library's locale-free reader
// (std::from_chars) on texts that are exactly one number, and its value
// survives both ways of writing it out; the exact form is the standard
// library's shortest text (std::to_chars), character for character.
#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/number_text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace {

[[noreturn]] void fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "number text: %s (input of %zu bytes: \"%.*s\")\n", what, text.size(),
               static_cast<int>(text.size() < 200 ? text.size() : 200), text.data());
  std::abort();
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The trimmed text when `text` is blanks, one number in the reader's grammar
// (sign, digits with at most one point, optional exponent) and blanks; else
// empty. Written independently of the reader, as a second opinion.
std::string_view sole_number(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && is_blank(text[b])) ++b;
  while (e > b && is_blank(text[e - 1])) --e;
  std::string_view t = text.substr(b, e - b);
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  bool point = false;
  for (; i < t.size() && (is_digit(t[i]) || (t[i] == '.' && !point)); ++i) {
    if (t[i] == '.') point = true; else ++digits;
  }
  if (digits == 0) return {};
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t exp_digits = 0;
    for (; i < t.size() && is_digit(t[i]); ++i) ++exp_digits;
    if (exp_digits == 0) return {};
  }
  return i == t.size() ? t : std::string_view{};
}

// Whether a number text in the grammar (no blanks) stands for a magnitude of
// at least 1: the leading significant digit's decimal place plus the exponent
// is not negative. A value out of the double range overflows exactly when
// this holds and underflows otherwise. Counts saturate far beyond any input.
bool at_least_one(std::string_view t) {
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
  const auto e_at = t.find_first_of("eE");
  const std::string_view mantissa = t.substr(0, e_at);
  const auto point = mantissa.find('.');
  const std::string_view int_part = mantissa.substr(0, point);
  const std::string_view frac_part =
      point == std::string_view::npos ? std::string_view{} : mantissa.substr(point + 1);
  long long place = 0;  // decimal place of the leading significant digit
  const auto lead = int_part.find_first_not_of('0');
  if (lead != std::string_view::npos) {
    place = static_cast<long long>(int_part.size() - lead) - 1;
  } else {
    const auto frac_lead = frac_part.find_first_not_of('0');
    if (frac_lead == std::string_view::npos) return false;  // zero
    place = -static_cast<long long>(frac_lead) - 1;
  }
  long long exponent = 0;
  if (e_at != std::string_view::npos) {
    std::string_view e = t.substr(e_at + 1);
    const bool negative = !e.empty() && e.front() == '-';
    if (!e.empty() && (e.front() == '+' || e.front() == '-')) e.remove_prefix(1);
    for (char c : e) exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000'000LL);
    if (negative) exponent = -exponent;
  }
  return place + exponent >= 0;
}

// The reference value of a sole number: std::from_chars on the text less its
// sign (from_chars takes no '+'), negated after. nullopt when the value is
// beyond the double range; 0 of the right sign when it is below it.
std::optional<double> reference_value(std::string_view t) {
  bool negative = false;
  if (t.front() == '+' || t.front() == '-') {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  double v = 0.0;
  const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec == std::errc::result_out_of_range) {
    if (at_least_one(t)) return std::nullopt;
    v = 0.0;
  } else if (ec != std::errc{} || ptr != t.data() + t.size()) {
    fail("the reference reader refused a sole number", t);
  }
  return negative ? -v : v;
}

void check_written_forms(double value, std::string_view input) {
  // The exact form reads back to the same double, bit for bit (also -0).
  const std::string exact = tavrin::exact_form(value);
  const auto exact_back = tavrin::parse_number(exact);
  if (!exact_back.whole || !same_bits(exact_back.value, value))
    fail("the exact form does not read back to the same double", input);
  // ... and is the C++ library's shortest form, character for character.
  char shortest[40];
  const auto shortest_end = std::to_chars(shortest, shortest + sizeof shortest, value).ptr;
  if (exact != std::string_view(shortest, shortest_end))
    fail("the exact form differs from std::to_chars's shortest form", input);

  // The display form reads back to the value rounded to 15 significant
  // digits, the rounding done here by std::to_chars in scientific form.
  const std::string shown = tavrin::display_form(value);
  if (shown.size() > 22) fail("the display form is longer than 15 digits need", input);
  if (shown.find_first_not_of("0123456789.E+-") != std::string::npos)
    fail("the display form holds a character other than digits, '.', 'E' and signs", input);
  char rounded_text[40];
  const auto written = std::to_chars(rounded_text, rounded_text + sizeof rounded_text, value,
                                     std::chars_format::scientific, 14);
  const auto rounded = reference_value(std::string_view(rounded_text, written.ptr));
  const bool rounded_overflows = !rounded.has_value();
  if (!rounded_overflows && value != 0.0 && std::signbit(*rounded) != std::signbit(value))
    fail("rounding changed the sign", input);
  try {
    const auto shown_back = tavrin::parse_number(shown);
    if (rounded_overflows) fail("the display form of a value rounding past the range read back", input);
    if (!shown_back.whole) fail("the display form is not a whole number text", input);
    if (shown_back.value != *rounded)
      fail("the display form does not read back to the value rounded to 15 digits", input);
  } catch (const tavrin::ArithmeticFault&) {
    // Only the largest doubles round up past the double range.
    if (!rounded_overflows) fail("the display form of a value in range overflows", input);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string_view sole = sole_number(text);

  tavrin::ParsedNumber parsed;
  try {
    parsed = tavrin::parse_number(text);
  } catch (const tavrin::ArithmeticFault& fault) {
    if (fault.kind() != tavrin::FaultKind::overflow) fail("a fault other than overflow", text);
    if (!sole.empty() && reference_value(sole).has_value())
      fail("overflow for a number within the double range", text);
    return 0;
  }
  if (!std::isfinite(parsed.value)) fail("the value is not finite", text);
  if (parsed.whole != !sole.empty()) fail("'whole' disagrees with the grammar", text);
  if (!sole.empty()) {
    const auto reference = reference_value(sole);
    if (!reference) fail("no overflow for a number beyond the double range", text);
    if (!same_bits(parsed.value, *reference)) fail("the value differs from the reference reader's", text);
  }
  check_written_forms(parsed.value, text);
  return 0;
}
