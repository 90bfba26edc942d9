#include "tavrin/exact_number.hpp"

#include "tavrin/number_text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace tavrin {

using boost::multiprecision::cpp_int;

Rational exact_decimal(std::string_view text) {
  cpp_int num;
  unsigned decimals = 0;
  bool point = false, digits = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      num = num * 10 + (c - '0');
      digits = true;
      if (point) ++decimals;
    } else {
      throw std::invalid_argument("not a decimal: " + std::string(text));
    }
  }
  if (!digits) throw std::invalid_argument("not a decimal: " + std::string(text));
  return {num, pow(cpp_int(10), decimals)};
}

// ---------------------------------------------------------------------------
// The one rounding at the end: to decimal digits for the figures, to the
// nearest double for the picture's scale.

namespace {

cpp_int power_of_ten(int exponent) { return pow(cpp_int(10), static_cast<unsigned>(exponent)); }

// n / d compared with 10^e.
int against_power_of_ten(const cpp_int& n, const cpp_int& d, int e) {
  return e >= 0 ? n.compare(d * power_of_ten(e)) : cpp_int(n * power_of_ten(-e)).compare(d);
}

// n / d compared with 2^e.
int against_power_of_two(const cpp_int& n, const cpp_int& d, long e) {
  return e >= 0 ? n.compare(cpp_int(d << e)) : cpp_int(n << -e).compare(d);
}

std::string digits_text(std::uint64_t n) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, n);
  return std::string(buf, res.ptr);
}

} // namespace

RoundedDecimal round_decimal(const Rational& value, int significant) {
  if (significant < 1 || significant > 18) throw std::invalid_argument("1 to 18 digits");
  if (value.is_zero()) return {};
  const cpp_int n = abs(numerator(value));
  const cpp_int d = denominator(value);

  // e with 10^e <= n/d < 10^(e+1): start from the bit lengths (log10 2 is
  // about 0.30103), then step to the exact place.
  int e = static_cast<int>((static_cast<long long>(msb(n)) - static_cast<long long>(msb(d))) *
                           30103 / 100000);
  while (against_power_of_ten(n, d, e) < 0) --e;
  while (against_power_of_ten(n, d, e + 1) >= 0) ++e;

  // q = n/d × 10^s lies in [10^(significant-1), 10^significant).
  const int s = significant - 1 - e;
  cpp_int q, rest;
  if (s >= 0) {
    divide_qr(cpp_int(n * power_of_ten(s)), d, q, rest);
    if (rest * 2 >= d) ++q;  // half away from zero
  } else {
    const cpp_int den = d * power_of_ten(-s);
    divide_qr(n, den, q, rest);
    if (rest * 2 >= den) ++q;
  }
  std::uint64_t digits = q.convert_to<std::uint64_t>();
  int exponent = -s;
  std::uint64_t limit = 1;
  for (int i = 0; i < significant; ++i) limit *= 10;
  if (digits == limit) {  // 9.99... rounded up to 10.0...
    digits /= 10;
    ++exponent;
  }
  return {value.sign() < 0, digits, exponent};
}

double nearest_double(const Rational& value) {
  if (value.is_zero()) return 0.0;
  const double sign = value.sign() < 0 ? -1.0 : 1.0;
  const cpp_int n = abs(numerator(value));
  const cpp_int d = denominator(value);
  // k with 2^k <= n/d < 2^(k+1).
  long k = static_cast<long>(msb(n)) - static_cast<long>(msb(d));
  if (against_power_of_two(n, d, k) < 0) --k;
  using limits = std::numeric_limits<double>;
  if (k >= limits::max_exponent) return sign * limits::infinity();
  // Below half the smallest subnormal, 2^-1075: rounds to 0.
  if (k < limits::min_exponent - limits::digits - 1) return sign * 0.0;
  // The place of the last bit a double keeps here: 52 bits below the
  // leading one, and never below the smallest subnormal's, 2^-1074.
  const long place = std::max(k - (limits::digits - 1), long{limits::min_exponent - limits::digits});
  cpp_int q, rest;
  const cpp_int den = place >= 0 ? cpp_int(d << place) : d;
  divide_qr(place >= 0 ? n : cpp_int(n << -place), den, q, rest);
  // Ties to even. q has at most 53 bits (2^53 after rounding up), so both
  // the conversion and the scaling are exact; past the largest double the
  // scaling gives infinity.
  const int half = cpp_int(rest * 2).compare(den);
  if (half > 0 || (half == 0 && bit_test(q, 0))) ++q;
  return sign * std::ldexp(q.convert_to<double>(), static_cast<int>(place));
}

std::string decimal_text(const Rational& value, int significant, bool keep_zeros) {
  const RoundedDecimal r = round_decimal(value, significant);
  if (r.digits == 0) return "0";
  std::string digits = digits_text(r.digits);
  std::string out;
  if (r.exponent >= 0) {
    out = digits + std::string(static_cast<std::size_t>(r.exponent), '0');
  } else {
    const long long whole = static_cast<long long>(digits.size()) + r.exponent;
    if (whole > 0) {
      out = digits.substr(0, static_cast<std::size_t>(whole)) + "." +
            digits.substr(static_cast<std::size_t>(whole));
    } else {
      out = "0." + std::string(static_cast<std::size_t>(-whole), '0') + digits;
    }
    if (!keep_zeros) {
      while (out.back() == '0') out.pop_back();
      if (out.back() == '.') out.pop_back();
    }
  }
  return r.negative ? "-" + out : out;
}

// ---------------------------------------------------------------------------
// Affine relations and the expression reader

Affine compose(const Affine& outer, const Affine& inner) {
  return {outer.slope * inner.slope, outer.slope * inner.offset + outer.offset};
}

namespace {

constexpr std::string_view times = "×";   // U+00D7
constexpr std::string_view minus = "−";   // U+2212

// Recursive descent over
//   expr    = term { ("+" | "-" | "−") term }
//   term    = unary { ("×" | "*" | "/") unary }
//   unary   = ("-" | "−") unary | power
//   power   = primary [ "^" [ "-" | "−" ] digits ]
//   primary = decimal | "x" | "(" expr ")"
class Reader {
public:
  explicit Reader(std::string_view text) : text_(text) {}

  Affine read() {
    Affine value = expr();
    skip_blanks();
    if (pos_ != text_.size()) fail("unexpected text");
    return value;
  }

private:
  [[noreturn]] void fail(const char* what) const {
    throw std::invalid_argument(std::string(what) + " at byte " + std::to_string(pos_) + " of '" +
                                std::string(text_) + "'");
  }

  void skip_blanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }

  bool take(std::string_view token) {
    skip_blanks();
    if (text_.substr(pos_, token.size()) != token) return false;
    pos_ += token.size();
    return true;
  }

  bool take_minus() { return take("-") || take(minus); }

  static bool constant(const Affine& a) { return a.slope.is_zero(); }

  Affine expr() {
    Affine value = term();
    for (;;) {
      if (take("+")) {
        const Affine rhs = term();
        value = {value.slope + rhs.slope, value.offset + rhs.offset};
      } else if (take_minus()) {
        const Affine rhs = term();
        value = {value.slope - rhs.slope, value.offset - rhs.offset};
      } else {
        return value;
      }
    }
  }

  Affine term() {
    Affine value = unary();
    for (;;) {
      if (take(times) || take("*")) {
        const Affine rhs = unary();
        if (constant(value)) {
          value = {value.offset * rhs.slope, value.offset * rhs.offset};
        } else if (constant(rhs)) {
          value = {value.slope * rhs.offset, value.offset * rhs.offset};
        } else {
          fail("a product of two terms in x");
        }
      } else if (take("/")) {
        const Affine rhs = unary();
        if (!constant(rhs) || rhs.offset.is_zero()) fail("a divisor in x or 0");
        value = {value.slope / rhs.offset, value.offset / rhs.offset};
      } else {
        return value;
      }
    }
  }

  Affine unary() {
    if (take_minus()) {
      const Affine value = unary();
      return {-value.slope, -value.offset};
    }
    return power();
  }

  Affine power() {
    const Affine base = primary();
    if (!take("^")) return base;
    const bool negative = take_minus();
    skip_blanks();
    unsigned exponent = 0;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && pos_ - start < 3)
      exponent = exponent * 10 + static_cast<unsigned>(text_[pos_++] - '0');
    if (pos_ == start) fail("an exponent without digits");
    if (!constant(base) || (negative && base.offset.is_zero())) fail("a power of x or of 0");
    Rational value = 1;
    for (unsigned i = 0; i < exponent; ++i) value = value * base.offset;
    return {0, negative ? Rational(1) / value : value};
  }

  Affine primary() {
    skip_blanks();
    if (take("(")) {
      const Affine value = expr();
      if (!take(")")) fail("a missing ')'");
      return value;
    }
    if (take("x")) return {1, 0};
    const std::size_t start = pos_;
    while (pos_ < text_.size() && ((text_[pos_] >= '0' && text_[pos_] <= '9') || text_[pos_] == '.'))
      ++pos_;
    if (pos_ == start) fail("a missing number");
    return {0, exact_decimal(text_.substr(start, pos_ - start))};
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

} // namespace

Affine parse_exact(std::string_view text) { return Reader(text).read(); }

} // namespace tavrin
