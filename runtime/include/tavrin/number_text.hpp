#pragma once

#include <string>
#include <string_view>

namespace tavrin {

/// What the number reader found at the start of a text.
struct ParsedNumber {
  double value = 0.0;  ///< the number, or 0 when the text does not start with one
  bool whole = false;  ///< true when the text, less surrounding blanks, was exactly that number
};

/// Reads the number at the start of `text`, whatever the process locale.
///
/// Grammar (blanks are space and tab):
///
///     text     = blanks* number rest
///     number   = sign? mantissa exponent?
///     sign     = "+" | "-"
///     mantissa = digit+ ("." digit*)? | "." digit+        ("5." and ".5" are numbers)
///     exponent = ("e" | "E") sign? digit+                 (taken only when a digit follows)
///
/// The number is the longest prefix that fits; the rest of the text is
/// ignored. No number at the start gives 0. `.` is the only decimal
/// separator. A value beyond the double range (1e400) raises
/// ArithmeticFault(overflow); one below it underflows to a subnormal or to a
/// zero of the same sign. The time is linear in the length of the text and
/// nothing is copied.
ParsedNumber parse_number(std::string_view text);

/// The display form: 15 significant digits, as the output box shows a result.
///
/// `0` for zero (also negative zero); otherwise the value rounded to 15
/// significant digits with trailing zeros and a trailing point dropped, in
/// plain decimal when 1E-05 <= |v| < 1E+15 after rounding, otherwise as
/// mantissa, `E`, sign and at least two exponent digits (`6.21E-07`,
/// `1E+308`). Negatives start with `-`; there is no leading blank.
std::string display_form(double value);

/// The exact form: the shortest text that reads back to the same double.
std::string exact_form(double value);

} // namespace tavrin
