#include "tavrin/exact_number.hpp"

#include "tavrin/number_text.hpp"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <utility>

namespace tavrin {

// ---------------------------------------------------------------------------
// Natural: base 2^32 limbs, schoolbook arithmetic. The audit's numbers have a
// few dozen decimal digits, so nothing cleverer pays.

Natural::Natural(std::uint64_t value) {
  while (value != 0) {
    limbs_.push_back(static_cast<std::uint32_t>(value));
    value >>= 32;
  }
}

std::size_t Natural::bit_width() const {
  if (limbs_.empty()) return 0;
  std::size_t bits = 32 * (limbs_.size() - 1);
  for (std::uint32_t top = limbs_.back(); top != 0; top >>= 1) ++bits;
  return bits;
}

Natural Natural::shifted_left(std::size_t bits) const {
  if (is_zero()) return {};
  Natural out;
  out.limbs_.assign(bits / 32, 0);
  const unsigned shift = bits % 32;
  std::uint32_t carry = 0;
  for (std::uint32_t limb : limbs_) {
    out.limbs_.push_back(shift == 0 ? limb : (limb << shift) | carry);
    carry = shift == 0 ? 0 : limb >> (32 - shift);
  }
  if (carry != 0) out.limbs_.push_back(carry);
  return out;
}

Natural operator+(const Natural& a, const Natural& b) {
  Natural out;
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < std::max(a.limbs_.size(), b.limbs_.size()) || carry != 0; ++i) {
    std::uint64_t sum = carry;
    if (i < a.limbs_.size()) sum += a.limbs_[i];
    if (i < b.limbs_.size()) sum += b.limbs_[i];
    out.limbs_.push_back(static_cast<std::uint32_t>(sum));
    carry = sum >> 32;
  }
  return out;
}

Natural operator-(const Natural& a, const Natural& b) {
  if (a < b) throw std::domain_error("negative natural number");
  Natural out;
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
    std::int64_t d = static_cast<std::int64_t>(a.limbs_[i]) - borrow -
                     (i < b.limbs_.size() ? static_cast<std::int64_t>(b.limbs_[i]) : 0);
    borrow = d < 0 ? 1 : 0;
    if (d < 0) d += std::int64_t{1} << 32;
    out.limbs_.push_back(static_cast<std::uint32_t>(d));
  }
  while (!out.limbs_.empty() && out.limbs_.back() == 0) out.limbs_.pop_back();
  return out;
}

Natural operator*(const Natural& a, const Natural& b) {
  if (a.is_zero() || b.is_zero()) return {};
  Natural out;
  out.limbs_.assign(a.limbs_.size() + b.limbs_.size(), 0);
  for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < b.limbs_.size(); ++j) {
      const std::uint64_t t = std::uint64_t{a.limbs_[i]} * b.limbs_[j] + out.limbs_[i + j] + carry;
      out.limbs_[i + j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    out.limbs_[i + b.limbs_.size()] = static_cast<std::uint32_t>(carry);
  }
  while (!out.limbs_.empty() && out.limbs_.back() == 0) out.limbs_.pop_back();
  return out;
}

std::strong_ordering operator<=>(const Natural& a, const Natural& b) {
  if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() <=> b.limbs_.size();
  for (std::size_t i = a.limbs_.size(); i-- > 0;)
    if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] <=> b.limbs_[i];
  return std::strong_ordering::equal;
}

Natural power_of_ten(unsigned exponent) {
  Natural out(1);
  const Natural ten(10);
  for (unsigned i = 0; i < exponent; ++i) out = out * ten;
  return out;
}

// ---------------------------------------------------------------------------
// Rational

Rational::Rational(std::int64_t value)
    : negative_(value < 0),
      num_(value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value)),
      den_(1) {}

Rational::Rational(bool negative, Natural numerator, Natural denominator)
    : negative_(negative), num_(std::move(numerator)), den_(std::move(denominator)) {
  if (den_.is_zero()) throw std::domain_error("division by zero");
}

Rational Rational::from_decimal(std::string_view text) {
  Natural num;
  unsigned decimals = 0;
  bool point = false, digits = false;
  const Natural ten(10);
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      num = num * ten + Natural(static_cast<std::uint64_t>(c - '0'));
      digits = true;
      if (point) ++decimals;
    } else {
      throw std::invalid_argument("not a decimal: " + std::string(text));
    }
  }
  if (!digits) throw std::invalid_argument("not a decimal: " + std::string(text));
  return {false, std::move(num), power_of_ten(decimals)};
}

Rational operator-(const Rational& a) { return {!a.negative_, a.num_, a.den_}; }

Rational operator+(const Rational& a, const Rational& b) {
  Natural x = a.num_ * b.den_, y = b.num_ * a.den_;
  Natural den = a.den_ * b.den_;
  if (a.negative_ == b.negative_) return {a.negative_, x + y, std::move(den)};
  // Opposite signs: the larger magnitude keeps its sign.
  if (x >= y) return {a.negative_, x - y, std::move(den)};
  return {b.negative_, y - x, std::move(den)};
}

Rational operator-(const Rational& a, const Rational& b) { return a + (-b); }

Rational operator*(const Rational& a, const Rational& b) {
  return {a.negative_ != b.negative_, a.num_ * b.num_, a.den_ * b.den_};
}

Rational operator/(const Rational& a, const Rational& b) {
  if (b.is_zero()) throw std::domain_error("division by zero");
  return {a.negative_ != b.negative_, a.num_ * b.den_, a.den_ * b.num_};
}

std::strong_ordering operator<=>(const Rational& a, const Rational& b) {
  const bool an = a.negative(), bn = b.negative();
  if (an != bn) return an ? std::strong_ordering::less : std::strong_ordering::greater;
  const auto magnitudes = (a.num_ * b.den_) <=> (b.num_ * a.den_);
  return an ? 0 <=> magnitudes : magnitudes;
}

bool operator==(const Rational& a, const Rational& b) { return (a <=> b) == 0; }

// ---------------------------------------------------------------------------
// Decimal text

namespace {

// n / d compared with 10^e.
std::strong_ordering against_power_of_ten(const Natural& n, const Natural& d, int e) {
  return e >= 0 ? n <=> d * power_of_ten(static_cast<unsigned>(e))
                : n * power_of_ten(static_cast<unsigned>(-e)) <=> d;
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
  const Natural& n = value.numerator();
  const Natural& d = value.denominator();

  // e with 10^e <= n/d < 10^(e+1): start from the bit lengths (log10 2 is
  // about 0.30103), then step to the exact place.
  int e = static_cast<int>((static_cast<long long>(n.bit_width()) -
                            static_cast<long long>(d.bit_width())) * 30103 / 100000);
  while (against_power_of_ten(n, d, e) < 0) --e;
  while (against_power_of_ten(n, d, e + 1) >= 0) ++e;

  // q = n/d × 10^s lies in [10^(significant-1), 10^significant).
  const int s = significant - 1 - e;
  const Natural num = s >= 0 ? n * power_of_ten(static_cast<unsigned>(s)) : n;
  const Natural den = s < 0 ? d * power_of_ten(static_cast<unsigned>(-s)) : d;
  // Binary long division: the quotient is below 10^18 < 2^60.
  std::uint64_t q = 0;
  Natural rest = num;
  for (int bit = 60; bit >= 0; --bit) {
    const Natural step = den.shifted_left(static_cast<std::size_t>(bit));
    if (step <= rest) {
      rest = rest - step;
      q |= std::uint64_t{1} << bit;
    }
  }
  if (rest.shifted_left(1) >= den) ++q;  // half away from zero
  int exponent = -s;
  std::uint64_t limit = 1;
  for (int i = 0; i < significant; ++i) limit *= 10;
  if (q == limit) {  // 9.99... rounded up to 10.0...
    q /= 10;
    ++exponent;
  }
  return {value.negative(), q, exponent};
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

double approximate(const Rational& value) {
  const RoundedDecimal r = round_decimal(value, 17);
  char exponent[8];
  const auto end = std::to_chars(exponent, exponent + sizeof exponent, r.exponent).ptr;
  const std::string text = (r.negative ? "-" : "") + digits_text(r.digits) + "e" +
                           std::string(exponent, end);
  return parse_number(text).value;
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
    return {0, Rational::from_decimal(text_.substr(start, pos_ - start))};
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

} // namespace

Affine parse_exact(std::string_view text) { return Reader(text).read(); }

} // namespace tavrin
