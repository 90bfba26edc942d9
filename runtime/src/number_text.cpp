#include "tavrin/number_text.hpp"

#include "tavrin/arithmetic_fault.hpp"

#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <system_error>

namespace tavrin {

namespace {

constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t skip_digits(std::string_view t, std::size_t i) {
  while (i < t.size() && is_digit(t[i])) ++i;
  return i;
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

  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < n && is_digit(text[j])) i = skip_digits(text, j);
  }
  const std::size_t number_end = i;

  // The sign is ours (the double reader takes none); negation is exact.
  // fast_float rounds correctly, as std::from_chars does, and leaves an
  // infinity for a value past the double range and a zero for one below it
  // (its older releases without saying so, newer ones with
  // result_out_of_range): an infinity is the overflow fault, and underflow
  // is not a fault.
  double magnitude = 0.0;
  const char* first = text.data() + int_begin;
  const char* last = text.data() + number_end;
  const auto [ptr, ec] = fast_float::from_chars(first, last, magnitude, fast_float::chars_format::general);
  if (std::isinf(magnitude)) throw ArithmeticFault(FaultKind::overflow);
  if ((ec != std::errc{} && ec != std::errc::result_out_of_range) || ptr != last) {
    // Cannot happen for text that fits the grammar; treat it as no number
    // rather than guess.
    return {};
  }

  std::size_t rest = number_end;
  while (rest < n && is_blank(text[rest])) ++rest;
  return {negative ? -magnitude : magnitude, rest == n};
}

namespace {

// A finite number as its significant digits (no leading or trailing zeros;
// "0" for zero) and the decimal exponent of the first of them.
struct Decimal {
  bool negative = false;
  int exponent = 0;
  char held[24];  // a double has at most 17 significant digits
  std::size_t count = 0;
  std::string_view digits() const { return {held, count}; }
};

// Reads {fmt}'s output for a finite double, in either of its notations:
// "-1.23450000000000e-07", "1e+16", "0.0001", "1000".
Decimal decimal_of(std::string_view text) {
  Decimal d;
  d.negative = text.front() == '-';
  if (d.negative) text.remove_prefix(1);
  const auto e_at = text.find('e');
  const std::string_view mantissa = text.substr(0, e_at);
  int scale = 0;
  if (e_at != std::string_view::npos) {
    std::string_view e = text.substr(e_at + 1);
    const bool e_negative = e.front() == '-';
    e.remove_prefix(1);  // the exponent always has its sign
    for (char c : e) scale = scale * 10 + (c - '0');
    if (e_negative) scale = -scale;
  }
  const auto point = mantissa.find('.');
  const auto int_len = static_cast<int>(point == std::string_view::npos ? mantissa.size() : point);
  // Significant digits only: leading zeros (of 0.0001) move the exponent,
  // trailing ones (of 1000 or 1.50000000000000e+00) go.
  std::size_t& count = d.count;
  int lead = 0;
  for (char c : mantissa) {
    if (c == '.') continue;
    if (count == 0 && c == '0') {
      ++lead;
      continue;
    }
    if (count < sizeof d.held) d.held[count++] = c;
  }
  while (count > 1 && d.held[count - 1] == '0') --count;
  if (count == 0) {
    d.held[count++] = '0';
    lead = int_len - 1;  // zero: exponent 0
  }
  d.exponent = int_len - 1 - lead + scale;
  return d;
}

// 30.48, 0.00001, 1000000: the digits at their places, zeros filling up to
// the point or after it.
void append_plain(std::string& out, const Decimal& d) {
  if (d.exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    out += d.digits();
    return;
  }
  const auto int_len = static_cast<std::size_t>(d.exponent) + 1;
  if (d.digits().size() <= int_len) {
    out += d.digits();
    out.append(int_len - d.digits().size(), '0');
  } else {
    out.append(d.digits(), 0, int_len);
    out.push_back('.');
    out.append(d.digits(), int_len);
  }
}

// 6.21E-07, 1E+308: the first digit, the others after a point, then `e`,
// the exponent's sign and at least two of its digits.
void append_exponent(std::string& out, const Decimal& d, char e) {
  out.push_back(d.digits().front());
  if (d.digits().size() > 1) {
    out.push_back('.');
    out.append(d.digits(), 1);
  }
  out.push_back(e);
  out.push_back(d.exponent < 0 ? '-' : '+');
  const int x = d.exponent < 0 ? -d.exponent : d.exponent;  // at most 324
  if (x >= 100) out.push_back(static_cast<char>('0' + x / 100));
  out.push_back(static_cast<char>('0' + x / 10 % 10));
  out.push_back(static_cast<char>('0' + x % 10));
}

std::size_t digit_count(int n) { return n >= 100 ? 3 : n >= 10 ? 2 : 1; }

} // namespace

std::string display_form(double value) {
  if (value == 0.0) return "0";  // also negative zero

  // d.dddddddddddddde±XX, correctly rounded to 15 significant digits.
  char buf[40];
  const char* end = fmt::format_to(buf, FMT_COMPILE("{:.14e}"), value);
  const Decimal d = decimal_of(std::string_view(buf, static_cast<std::size_t>(end - buf)));

  std::string out;
  if (d.negative) out.push_back('-');
  if (d.exponent >= -5 && d.exponent < 15) {
    append_plain(out, d);
  } else {
    append_exponent(out, d, 'E');
  }
  return out;
}

std::string exact_form(double value) {
  // The shortest digits that read back to the same double, written as
  // std::to_chars writes them: in plain decimal or with an exponent
  // (6.21e-07, 1e+15), whichever is shorter, plain on a tie; a large whole
  // number written plainly shows all its digits as the double holds them
  // (1152921504606846976, not 1152921504606847000).
  char buf[40];
  const char* end = fmt::format_to(buf, FMT_COMPILE("{}"), value);
  const std::string_view shortest(buf, static_cast<std::size_t>(end - buf));
  if (!std::isfinite(value)) return std::string(shortest);
  const Decimal d = decimal_of(shortest);

  const std::size_t n = d.digits().size();
  const int e = d.exponent;
  const std::size_t plain_length = e < 0 ? n + 1 + static_cast<std::size_t>(-e)
                                   : n <= static_cast<std::size_t>(e) + 1 ? static_cast<std::size_t>(e) + 1
                                                                          : n + 1;
  const std::size_t exponent_length =
      n + (n > 1 ? 1 : 0) + 2 + std::max<std::size_t>(2, digit_count(e < 0 ? -e : e));

  std::string out;
  if (d.negative) out.push_back('-');
  if (plain_length > exponent_length) {
    append_exponent(out, d, 'e');
  } else if (std::fabs(value) >= 0x1p53) {
    // A whole number past 2^53: its shortest digits padded with zeros may
    // differ from the double's own.
    fmt::format_to(std::back_inserter(out), FMT_COMPILE("{:.0f}"), std::fabs(value));
  } else {
    append_plain(out, d);
  }
  return out;
}

} // namespace tavrin
