#include "tavrin/number_text.hpp"

#include "tavrin/arithmetic_fault.hpp"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace tavrin {

namespace {

constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t skip_digits(std::string_view t, std::size_t i) {
  while (i < t.size() && is_digit(t[i])) ++i;
  return i;
}

// The decimal exponent of the leading significant digit of a mantissa and
// exponent that the double reader called out of range: positive means it
// overflowed, negative that it underflowed. Saturates, so a million-digit
// exponent or mantissa cannot wrap around.
std::int64_t decimal_magnitude(std::string_view integer, std::string_view fraction,
                               std::string_view exponent) {
  constexpr std::int64_t cap = std::int64_t{1} << 40;
  std::int64_t magnitude = 0;
  if (auto first = integer.find_first_not_of('0'); first != std::string_view::npos) {
    magnitude = static_cast<std::int64_t>(integer.size() - first) - 1;
  } else {
    auto lead = fraction.find_first_not_of('0');
    magnitude = -static_cast<std::int64_t>(lead == std::string_view::npos ? 0 : lead) - 1;
  }
  bool negative_exponent = !exponent.empty() && exponent.front() == '-';
  if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+'))
    exponent.remove_prefix(1);
  std::int64_t e = 0;
  for (char c : exponent) {
    e = e * 10 + (c - '0');
    if (e > cap) { e = cap; break; }
  }
  if (magnitude > cap) magnitude = cap;
  if (magnitude < -cap) magnitude = -cap;
  return magnitude + (negative_exponent ? -e : e);
}

} // namespace

ParsedNumber parse_number(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && is_blank(text[i])) ++i;

  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  const std::size_t int_begin = i;
  i = skip_digits(text, i);
  const std::size_t int_end = i;
  std::size_t frac_begin = i, frac_end = i;
  if (i < n && text[i] == '.') {
    frac_begin = i + 1;
    frac_end = skip_digits(text, frac_begin);
    if (frac_end > frac_begin || int_end > int_begin) i = frac_end;
  }
  if (int_end == int_begin && frac_end == frac_begin) return {};  // no number here

  std::size_t exp_begin = i, exp_end = i;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < n && is_digit(text[j])) {
      exp_begin = i + 1;
      exp_end = skip_digits(text, j);
      i = exp_end;
    }
  }
  const std::size_t number_end = i;

  // The sign is ours (the double reader refuses a leading '+'); negation is exact.
  double magnitude = 0.0;
  const char* first = text.data() + int_begin;
  const char* last = text.data() + number_end;
  auto [ptr, ec] = std::from_chars(first, last, magnitude, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    auto integer = text.substr(int_begin, int_end - int_begin);
    auto fraction = text.substr(frac_begin, frac_end - frac_begin);
    auto exponent = text.substr(exp_begin, exp_end - exp_begin);
    if (decimal_magnitude(integer, fraction, exponent) >= 0)
      throw ArithmeticFault(FaultKind::overflow);
    magnitude = 0.0;  // underflow is not a fault
  } else if (ec != std::errc{} || ptr != last) {
    // Cannot happen for text that fits the grammar; treat it as no number
    // rather than guess.
    return {};
  }

  std::size_t rest = number_end;
  while (rest < n && is_blank(text[rest])) ++rest;
  return {negative ? -magnitude : magnitude, rest == n};
}

std::string display_form(double value) {
  if (value == 0.0) return "0";  // also negative zero

  // d.dddddddddddddde±XXX: rounding to 15 significant digits is the reader's.
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));

  const bool negative = sci.front() == '-';
  if (negative) sci.remove_prefix(1);
  const auto e_at = sci.find('e');
  std::string digits;
  digits.reserve(15);
  for (char c : sci.substr(0, e_at))
    if (c != '.') digits.push_back(c);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  int exponent = 0;
  auto exp_text = sci.substr(e_at + 1);
  const bool exp_negative = exp_text.front() == '-';
  std::from_chars(exp_text.data() + 1, exp_text.data() + exp_text.size(), exponent);
  if (exp_negative) exponent = -exponent;

  std::string out;
  if (negative) out.push_back('-');
  if (exponent >= -5 && exponent < 15) {
    if (exponent < 0) {
      out += "0.";
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += digits;
    } else {
      const auto int_len = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= int_len) {
        out += digits;
        out.append(int_len - digits.size(), '0');
      } else {
        out.append(digits, 0, int_len);
        out.push_back('.');
        out.append(digits, int_len);
      }
    }
  } else {
    out.push_back(digits.front());
    if (digits.size() > 1) {
      out.push_back('.');
      out.append(digits, 1);
    }
    out.push_back('E');
    out.push_back(exp_negative ? '-' : '+');
    const int abs_exp = exp_negative ? -exponent : exponent;
    if (abs_exp < 10) out.push_back('0');
    char exp_buf[8];
    auto exp_res = std::to_chars(exp_buf, exp_buf + sizeof exp_buf, abs_exp);
    out.append(exp_buf, exp_res.ptr);
  }
  return out;
}

std::string exact_form(double value) {
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, res.ptr);
}

} // namespace tavrin
