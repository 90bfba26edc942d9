#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavrin::cli {

/// Names longer than this get no spelling suggestion: the longest catalogue
/// name has 22 bytes, and it keeps the edit distance cheap for any input.
inline constexpr std::size_t max_suggested_length = 64;

/// The name in `names` nearest to `name`: one equal but for case first, then
/// the smallest edit distance (ignoring case, a swap of two letters counting
/// one), then a name holding a near copy of `name`; none when nothing is close.
std::optional<std::string_view> nearest_name(std::string_view name,
                                             std::span<const std::string_view> names);

/// `text` fit to echo on a terminal: C0 and C1 controls, DEL and every byte
/// that is not part of well-formed UTF-8 are written as \xNN, one for each byte.
std::string escaped_text(std::string_view text);

/// `text` in single quotes for a one-line message, escaped as escaped_text
/// does; a long text is cut (at a character boundary) with its length noted.
std::string in_quotes(std::string_view text);

/// One CSV field with RFC 4180 quoting: in double quotes, inner quotes doubled,
/// when it holds a comma, a double quote, a CR or a LF, or starts or ends with a blank.
std::string csv_field(std::string_view text);

/// `text` fit for XML or HTML, as text or in a double-quoted attribute:
/// &, <, > and " written as entities (the SVG picture, the web page).
std::string markup_text(std::string_view text);

/// The character columns a UTF-8 text takes on a terminal: one a character
/// (the catalogue and the rule texts hold no wide or combining characters).
std::size_t text_columns(std::string_view text);

/// A count in decimal digits, without separators whatever the locale.
std::string count_text(std::uint64_t count);

/// True when `text`, less surrounding blanks, is one number as the number
/// reader's grammar has it (sign, mantissa, exponent), whatever its range.
bool is_number_text(std::string_view text);

} // namespace tavrin::cli
